#!/usr/bin/env bash
# Tries the Debian package that `make package` wrote to build/release/:
#
#   bash deploy/package_test.sh       (or: make package-test, which builds the package first)
#
# It checks the package's file list (seven programs, their seven man pages, the page of the
# file formats, the batch script, the puzzles), that the pages hold the lists of the search
# options, and its dependencies, unpacks it with dpkg -x into a temporary root (nothing is
# installed on the machine), and runs from there `tessaly --version`, `tessaly-gen` and two
# seconds of `tessaly` on the generated puzzle, stopped with SIGINT as Ctrl-C would.
set -euo pipefail

me=package_test
root=$(cd "$(dirname "$0")/.." && pwd)
fail() {
    echo "$me: FAILED: $*" >&2
    exit 1
}

shopt -s nullglob
packages=("$root"/build/release/tessaly_*.deb)
[ ${#packages[@]} -eq 1 ] || fail "expected one build/release/tessaly_*.deb, found ${#packages[@]}"
deb=${packages[0]}
echo "$me: $deb"

programs=(tessaly tessaly-farm tessaly-stats tessaly-show tessaly-gen tessaly-bench tessaly-groups)
listing=$(dpkg-deb -c "$deb")
expected=(./usr/share/tessaly/tessaly.sbatch ./usr/share/tessaly/puzzles/bench/k7pieces.txt
    ./usr/share/man/man5/tessaly.5)
for program in "${programs[@]}"; do
    expected+=("./usr/bin/$program" "./usr/share/man/man1/$program.1")
done
for path in "${expected[@]}"; do
    awk '{ print $6 }' <<<"$listing" | grep -qxF "$path" || fail "the package lacks $path"
done
grep -E '^-' <<<"$listing" | awk '{ print $6 }' | grep -vE '^\./usr/(bin|share/(man/man[15]|tessaly|doc))/' &&
    fail "the package holds files outside bin/, share/man/man1/, share/man/man5/, share/tessaly/"

# The pages as the build wrote them: the lists of the search options put in, no marker left.
for page in ./usr/share/man/man1/tessaly-bench.1 ./usr/share/man/man5/tessaly.5; do
    text=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO "$page")
    grep -q '@search-option' <<<"$text" && fail "$page still holds a marker of the option lists"
    grep -q 'rim\\-look\\-ahead' <<<"$text" || fail "$page lacks the option lists"
done

# Only what the programs link against, as dpkg-shlibdeps found it.
depends=$(dpkg-deb -f "$deb" Depends)
echo "$me: Depends: $depends"
for library in libc6 libstdc++6; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library"
done

tmp=$(mktemp -d /tmp/tessaly-package.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
dpkg -x "$deb" "$tmp/root"
bin=$tmp/root/usr/bin

version=$("$bin/tessaly" --version)
[ "$version" = "tessaly version 1.0" ] || fail "tessaly --version printed '$version'"
mkdir "$tmp/puzzle"
"$bin/tessaly-gen" --seed 5 --colours 14 --rim-colours 4 "$tmp/puzzle/k7pieces.txt" ||
    fail "tessaly-gen failed"
status=0
(cd "$tmp/puzzle" && timeout --preserve-status -s INT 2 "$bin/tessaly" >"$tmp/out.txt" 2>"$tmp/err.txt" </dev/null) ||
    status=$?
[ "$status" -eq 0 ] || fail "tessaly ended with status $status: $(cat "$tmp/err.txt")"
grep -q '^Tessaly solver version 1.0$' "$tmp/out.txt" || fail "tessaly printed no banner"
grep -q '^Stopped; the statistics are saved' "$tmp/out.txt" || fail "tessaly did not stop in order"
grep -q '^nodes=' "$tmp/puzzle/total.txt" || fail "tessaly saved no statistics"
echo "$me: passed"
