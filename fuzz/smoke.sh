#!/usr/bin/env bash
# Runs every fuzz target for a bounded time from a copy of its committed seed corpus, so that
# nothing is written into the source tree, and fails if any of them finds a crash, a sanitizer
# report or a failed check. Usage: smoke.sh BUILT-TARGETS-DIR SECONDS-EACH
set -euo pipefail
targets=$1
seconds=$2
here="$(cd "$(dirname "$0")" && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for corpus in "$here"/corpus/*/; do
    name=$(basename "$corpus")
    mkdir -p "$work/$name/corpus" "$work/$name/found"
    cp "$corpus"/* "$work/$name/corpus/"
    if "$targets/${name}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/$name/found/" "$work/$name/corpus" \
        >"$work/$name/log" 2>&1; then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$name/log" | grep -o '[0-9]*$')
        echo "fuzz $name: ${runs:-?} executions in ${seconds} s, nothing found"
    else
        failed=1
        echo "fuzz $name: FAILED; the end of its log:"
        tail -n 40 "$work/$name/log"
        for input in "$work/$name/found"/*; do
            [ -e "$input" ] || continue
            echo "input $(basename "$input") (base64):"
            base64 "$input" | head -c 4000
            echo
        done
    fi
done
exit $failed
