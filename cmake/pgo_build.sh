#!/usr/bin/env bash
# Builds the programs with clang and profile-guided optimisation:
#
#   bash cmake/pgo_build.sh TREE [CMAKE-OPTION ...]   (make release and make package run it)
#   bash cmake/pgo_build.sh --check                    (exit 0 when this machine can, 1 when not)
#
# TREE-instrumented gets tessaly-bench built with clang's instrumentation (TESSALY_PGO=generate)
# and runs the three workloads of docs/performance.md, each writing its counts into that tree;
# llvm-profdata merges them into TREE-instrumented/tessaly.profdata, and TREE gets every program
# built by clang with that profile (TESSALY_PGO=use). Both trees get the CMAKE-OPTIONs, so the
# profile is taken on the code it optimises. The workloads run again only when the instrumented
# bench was rebuilt. CLANG and LLVM_PROFDATA name the tools (default: clang++, and llvm-profdata
# on the path or beside clang++); JOBS the parallel build jobs.
set -euo pipefail
cd "$(dirname "$0")/.."

clang=${CLANG:-clang++}
profdata=${LLVM_PROFDATA:-}
if [ -z "$profdata" ]; then
    profdata=$(command -v llvm-profdata || true)
    clang_path=$(command -v "$clang" || true)
    if [ -z "$profdata" ] && [ -n "$clang_path" ]; then
        profdata=$(dirname "$(readlink -f "$clang_path")")/llvm-profdata
    fi
fi

# Whether clang++ links an instrumented program (the profile runtime is a package of its own)
# and llvm-profdata runs.
usable() {
    local probe
    probe=$(mktemp -d /tmp/tessaly-pgo.XXXXXX)
    trap 'rm -rf "$probe"' RETURN
    command -v "$clang" >/dev/null && [ -x "$profdata" ] && "$profdata" merge --help >/dev/null 2>&1 &&
        echo 'int main() {}' | "$clang" -x c++ -fprofile-instr-generate - -o "$probe/a" 2>/dev/null
}

if [ "${1:-}" = --check ]; then
    usable
    exit
fi
[ $# -ge 1 ] || { echo "usage: bash cmake/pgo_build.sh TREE [CMAKE-OPTION ...] | --check" >&2; exit 2; }
tree=$1
shift
trained=$tree-instrumented
profile=$trained/tessaly.profdata
jobs=${JOBS:-$(nproc)}
common=(-G Ninja -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=Release -DTESSALY_TESTS=OFF "$@")

cmake -S . -B "$trained" "${common[@]}" -DTESSALY_PGO=generate
cmake --build "$trained" -j "$jobs" --target tessaly-bench
if [ ! -f "$profile" ] || [ "$trained/tessaly-bench" -nt "$profile" ]; then
    rm -f "$trained"/*.profraw
    for workload in "--runs 12" \
        "--nodes 10000000 --seeds 1,1 puzzles/deep/k7pieces.txt" \
        "--nodes 500000000 --seeds 1,2 --groups puzzles/bench/k7groups.txt"; do
        echo "pgo_build: training on tessaly-bench $workload"
        # shellcheck disable=SC2086 # the workload is a list of words
        LLVM_PROFILE_FILE="$trained/%p.profraw" "$trained/tessaly-bench" $workload >/dev/null
    done
    "$profdata" merge -o "$profile" "$trained"/*.profraw
fi
cmake -S . -B "$tree" "${common[@]}" -DTESSALY_PGO=use -DTESSALY_PGO_PROFILE="$(realpath "$profile")"
cmake --build "$tree" -j "$jobs"
