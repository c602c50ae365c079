#!/usr/bin/env bash
# Builds the optimised programs in TREE with clang and profile-guided optimisation:
#
#   bash cmake/pgo_build.sh TREE [CMAKE-OPTION ...]    (make release-pgo runs it)
#
# TREE-instrumented gets tessaly-bench built with clang's instrumentation (TESSALY_PGO=generate)
# and runs the training workloads below, each writing its counts into that tree; llvm-profdata
# merges them into TREE-instrumented/tessaly.profdata, and TREE gets every program built by clang
# with that profile (TESSALY_PGO=use). Both trees get the CMAKE-OPTIONs, so the profile is taken
# on the code it optimises. The workloads run again only when the instrumented bench was rebuilt
# or this script changed. CLANG and LLVM_PROFDATA name the tools (default: clang++, and
# llvm-profdata on the path or beside clang++); JOBS the parallel build jobs.
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/.."
[ $# -ge 1 ] || { echo "usage: bash cmake/pgo_build.sh TREE [CMAKE-OPTION ...]" >&2; exit 2; }
tree=$1
shift
jobs=${JOBS:-$(nproc)}

clang=${CLANG:-clang++}
profdata=${LLVM_PROFDATA:-$(command -v llvm-profdata || true)}
if [ -z "$profdata" ] && command -v "$clang" >/dev/null; then
    profdata=$(dirname "$(readlink -f "$(command -v "$clang")")")/llvm-profdata
fi
# Whether clang links an instrumented program (its profile runtime is a package of its own) and
# llvm-profdata runs.
probe=$(mktemp -d /tmp/tessaly-pgo.XXXXXX)
if ! { command -v "$clang" && "$profdata" merge --help && echo 'int main() {}' |
    "$clang" -x c++ -fprofile-instr-generate - -o "$probe/a"; } >/dev/null 2>&1; then
    rm -rf "$probe"
    echo "pgo_build: needs $clang, llvm-profdata and clang's profile runtime" \
        "(Debian: clang, llvm, libclang-rt-14-dev)" >&2
    exit 1
fi
rm -rf "$probe"

trained=$tree-instrumented
profile=$trained/tessaly.profdata
common=(-G Ninja -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=Release -DTESSALY_TESTS=OFF "$@")
cmake -S . -B "$trained" "${common[@]}" -DTESSALY_PGO=generate
cmake --build "$trained" -j "$jobs" --target tessaly-bench
# The three workloads of docs/performance.md, then a shorter run on each family of steps they
# leave out: without group rules, with the rim look-ahead and the mismatch bound, and with the
# profile (as sweeps run). A function that training never reaches is compiled as cold, for
# size: those families ran 4 to 8 % slower than GCC's build without their runs here.
groups="--groups puzzles/bench/k7groups.txt"
workloads=("--runs 12"
    "--nodes 10000000 --seeds 1,1 puzzles/deep/k7pieces.txt"
    "--nodes 500000000 --seeds 1,2 $groups"
    "--nodes 100000000 --seeds 1,2 --no-group-rules"
    "--nodes 100000000 --seeds 1,2 $groups --rim-look-ahead --mismatch-bound"
    "--nodes 100000000 --seeds 1,2 $groups --profile")
if [ ! -f "$profile" ] || [ "$trained/tessaly-bench" -nt "$profile" ] ||
    [ "$script" -nt "$profile" ]; then
    rm -f "$trained"/*.profraw
    for workload in "${workloads[@]}"; do
        echo "pgo_build: training on tessaly-bench $workload"
        # shellcheck disable=SC2086 # the workload is a list of words
        LLVM_PROFILE_FILE="$trained/%p.profraw" "$trained/tessaly-bench" $workload >/dev/null
    done
    "$profdata" merge -o "$profile" "$trained"/*.profraw
fi
cmake -S . -B "$tree" "${common[@]}" -DTESSALY_PGO=use \
    -DTESSALY_PGO_PROFILE="$(realpath "$profile")"
cmake --build "$tree" -j "$jobs"
