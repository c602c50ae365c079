#!/usr/bin/env bash
# Runs deploy/slurm/tessaly.sbatch on a real one-node Slurm cluster started on this machine.
#
#   bash deploy/slurm/cluster_test.sh      (or: make cluster-test; needs root)
#
# It installs Slurm and munge from Debian when they are missing, starts a private munged,
# slurmctld and slurmd with their configuration, key, sockets, state and logs in a temporary
# directory (other ports than Slurm's usual ones, addresses on the loopback), builds the release
# programs, and then:
#   1. submits an array of two tasks with a one-minute time limit and an early stop signal 40
#      seconds before it, and checks that both tasks were stopped by that signal, saved their
#      statistics (nodes above 0) and printed "Stopped; the statistics are saved";
#   2. submits one more task through the installed batch script (cmake --install into the
#      temporary directory) without naming the solver, cancels it with scancel after some
#      seconds, checks the same and that it ran the solver installed beside the script;
#   3. checks that tessaly-stats reads all three task directories.
# Every daemon it started is stopped, and the temporary directory removed, however it ends.
set -euo pipefail

me=cluster_test
root=$(cd "$(dirname "$0")/../.." && pwd)
sbatch_file=$root/deploy/slurm/tessaly.sbatch
release=$root/build/release

say() { echo "$me: $*"; }
fail() {
    echo "$me: FAILED: $*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || fail "needs root: it installs packages and runs the Slurm daemons"

# --- Packages ---------------------------------------------------------------------------------
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
need=()
for p in slurmctld slurmd slurm-client munge; do
    installed "$p" || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    say "installing ${need[*]}"
    # Keep the packages' own services from starting: this test runs its own daemons.
    policy=/usr/sbin/policy-rc.d
    own_policy=
    if [ ! -e "$policy" ]; then
        printf '#!/bin/sh\nexit 101\n' >"$policy"
        chmod 755 "$policy"
        own_policy=1
    fi
    apt_status=0
    apt-get update -qq </dev/null || apt_status=$?
    if [ "$apt_status" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${need[@]}" </dev/null || apt_status=$?
    fi
    [ -n "$own_policy" ] && rm -f "$policy"
    [ "$apt_status" -eq 0 ] || fail "could not install ${need[*]}"
fi

# --- Build --------------------------------------------------------------------------------------
say "building the release programs"
make -C "$root" release >/dev/null || fail "make release failed"
for program in tessaly tessaly-gen tessaly-stats; do
    [ -x "$release/$program" ] || fail "$release/$program was not built"
done

# --- Temporary cluster ------------------------------------------------------------------------
tmp=$(mktemp -d /tmp/tessaly-cluster.XXXXXX)
# munged wants every directory above its socket open to all users.
chmod 755 "$tmp"
mkdir -p "$tmp"/{etc,munge,state,spool,run,log,puzzle,runs}
mkdir -m 700 "$tmp/key"
conf=$tmp/etc/slurm.conf
export SLURM_CONF=$conf
# The jobs' processes inherit this mark through sbatch, so that any left over can be found and
# ended at the end (the job steps are found by their working directory, see cleanup).
export TESSALY_CLUSTER_TEST=$tmp

munged_pid=
slurmctld_pid=
slurmd_pid=
jobs=()
passed=0

# Sends SIGTERM to one of our daemons and waits up to 15 s for it, then kills it.
stop_daemon() {
    local name=$1 pid=$2 i
    [ -n "$pid" ] || return 0
    kill -TERM "$pid" 2>/dev/null || true
    for ((i = 0; i < 30; i++)); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
    done
    if kill -0 "$pid" 2>/dev/null; then
        say "$name (pid $pid) did not stop, killing it"
        kill -KILL "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
}

# The daemons' logs and the jobs' output, for a failure. A daemon's standard error repeats its
# log, so it is shown only for a daemon that wrote no log (one that failed to start).
show_logs() {
    local f log
    for f in "$tmp"/log/*; do
        [ -f "$f" ] || continue
        case $f in
            *.stderr)
                log=${f%.stderr}.log
                [ -s "$log" ] && continue
                ;;
        esac
        echo "----- $(basename "$f") (last 40 lines) -----" >&2
        tail -n 40 "$f" >&2
    done
}

cleanup() {
    local status=$? pid d cwd
    set +e
    trap - EXIT INT TERM
    if [ "$status" -ne 0 ]; then
        show_logs
    fi
    # Jobs first, while slurmctld still runs: slurmd leaves running jobs alone when it stops.
    if [ ${#jobs[@]} -gt 0 ] && [ -n "$slurmctld_pid" ] && kill -0 "$slurmctld_pid" 2>/dev/null; then
        scancel "${jobs[@]}" 2>/dev/null
        for ((i = 0; i < 40; i++)); do
            [ -z "$(squeue -h -j "$(IFS=,; echo "${jobs[*]}")" -o %i 2>/dev/null)" ] && break
            sleep 1
        done
    fi
    stop_daemon slurmd "$slurmd_pid"
    stop_daemon slurmctld "$slurmctld_pid"
    stop_daemon munged "$munged_pid"
    # Anything left of this run (a job step, a batch shell, a solver) is ended by its id: it
    # carries this run's mark or works in the temporary directory.
    for d in /proc/[0-9]*; do
        pid=${d#/proc/}
        [ "$pid" = "$$" ] && continue
        cwd=$(readlink "$d/cwd" 2>/dev/null)
        if [ "$cwd" = "$tmp" ] || [ "${cwd#"$tmp"/}" != "$cwd" ] ||
            grep -qzxF "TESSALY_CLUSTER_TEST=$tmp" "$d/environ" 2>/dev/null; then
            say "ending left-over process $pid ($(tr '\0' ' ' <"$d/cmdline" 2>/dev/null))"
            kill -KILL "$pid" 2>/dev/null
        fi
    done
    rm -rf "$tmp"
    if [ "$status" -eq 0 ]; then
        echo "$me: $passed passed, 0 failed"
    else
        echo "$me: $passed passed, 1 failed"
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'echo "$me: interrupted" >&2; exit 130' INT
trap 'echo "$me: interrupted" >&2; exit 143' TERM

host=$(hostname -s)
cpus=$(nproc)

# munge: a fresh key and a daemon of our own on its own socket.
dd if=/dev/urandom of="$tmp/key/munge.key" bs=1024 count=1 status=none
chmod 400 "$tmp/key/munge.key"
socket=$tmp/munge/munge.socket
munged --foreground --socket="$socket" --key-file="$tmp/key/munge.key" \
    --pid-file="$tmp/munge/munged.pid" --seed-file="$tmp/munge/munged.seed" \
    >"$tmp/log/munged.log" 2>&1 </dev/null &
munged_pid=$!
for ((i = 0; i < 20; i++)); do
    [ -S "$socket" ] && break
    kill -0 "$munged_pid" 2>/dev/null || fail "munged did not start"
    sleep 0.5
done
munge -S "$socket" -n </dev/null | unmunge -S "$socket" >/dev/null || fail "munge does not work"

# Slurm: one node, this host with its processor count, no cgroups, no accounting.
: >"$tmp/etc/plugstack.conf"
cat >"$conf" <<EOF
ClusterName=tessalytest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=16817
SlurmdPort=16818
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$socket
CredType=cred/munge
StateSaveLocation=$tmp/state
SlurmdSpoolDir=$tmp/spool
SlurmctldPidFile=$tmp/run/slurmctld.pid
SlurmdPidFile=$tmp/run/slurmd.pid
SlurmctldLogFile=$tmp/log/slurmctld.log
SlurmdLogFile=$tmp/log/slurmd.log
PlugStackConfig=$tmp/etc/plugstack.conf
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
MpiDefault=none
MailProg=/bin/true
ReturnToService=2
KillWait=10
MinJobAge=600
NodeName=$host NodeAddr=127.0.0.1 CPUs=$cpus State=UNKNOWN
PartitionName=test Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF

say "starting slurmctld and slurmd on $host ($cpus processors)"
# Started in the temporary directory, which their job steps then work in too.
(cd "$tmp" && exec slurmctld -D -i -f "$conf") >"$tmp/log/slurmctld.stderr" 2>&1 </dev/null &
slurmctld_pid=$!
(cd "$tmp" && exec slurmd -D -f "$conf" -N "$host") >"$tmp/log/slurmd.stderr" 2>&1 </dev/null &
slurmd_pid=$!

state=
for ((i = 0; i < 60; i++)); do
    kill -0 "$slurmctld_pid" 2>/dev/null || fail "slurmctld ended"
    kill -0 "$slurmd_pid" 2>/dev/null || fail "slurmd ended"
    state=$(sinfo -h -n "$host" -o %t 2>/dev/null || true)
    [ "$state" = idle ] && break
    sleep 1
done
[ "$state" = idle ] || fail "node $host is not idle after 60 s (sinfo says '$state')"
say "node $host is idle"

# --- Jobs -------------------------------------------------------------------------------------
"$release/tessaly-gen" --seed 5 --colours 14 --rim-colours 4 "$tmp/puzzle/k7pieces.txt" >/dev/null ||
    fail "tessaly-gen failed"

# The stop signal the batch file asks for, sent here 40 s before a one-minute time limit.
signal=$(sed -n 's/^#SBATCH --signal=B:\([A-Z0-9]*\)@.*/\1/p' "$sbatch_file")
[ -n "$signal" ] || fail "no '#SBATCH --signal=B:...' line in $sbatch_file"

submit() {
    sbatch --parsable --chdir="$tmp/puzzle" --output="$tmp/log/tessaly-%A_%a.out" "$@" \
        "$sbatch_file" "$release/tessaly" "$tmp/runs" </dev/null
}

# The installed batch script, with an empty solver argument: it must find its own solver.
cmake --install "$release" --prefix "$tmp/install" >/dev/null || fail "cmake --install failed"
submit_installed() {
    sbatch --parsable --chdir="$tmp/puzzle" --output="$tmp/log/tessaly-%A_%a.out" "$@" \
        "$tmp/install/share/tessaly/tessaly.sbatch" "" "$tmp/runs" </dev/null
}

# Prints "TASK STATE" for every task of job $1.
task_states() {
    squeue -h -r -t all -j "$1" -o '%K %T' 2>/dev/null
}

# Waits up to $2 seconds until no task of job $1 is pending or running any more.
wait_for_job() {
    local job=$1 limit=$2 start=$SECONDS states
    while :; do
        states=$(task_states "$job")
        if [ -n "$states" ] && ! grep -qvE ' (COMPLETED|CANCELLED|FAILED|TIMEOUT|NODE_FAIL|OUT_OF_MEMORY|PREEMPTED|BOOT_FAIL|DEADLINE)$' <<<"$states"; then
            return 0
        fi
        if ((SECONDS - start > limit)); then
            fail "job $job has not ended after $limit s; its tasks: $(tr '\n' ';' <<<"$states")"
        fi
        sleep 2
    done
}

# Checks task $2 of job $1: its state is $3, it saved statistics, its log shows the stop.
check_task() {
    local job=$1 task=$2 want=$3 dir=$tmp/runs/$2 log=$tmp/log/tessaly-$1_$2.out state nodes
    state=$(task_states "$job" | awk -v t="$task" '$1 == t { print $2 }')
    [ "$state" = "$want" ] || fail "task ${job}_$task ended $state, expected $want"
    [ -f "$dir/total.txt" ] || fail "task ${job}_$task left no $dir/total.txt"
    nodes=$(sed -n 's/^nodes=\([0-9][0-9]*\)$/\1/p' "$dir/total.txt")
    if [ -z "$nodes" ] || [ "$nodes" -eq 0 ]; then
        fail "task ${job}_$task: $dir/total.txt counts no nodes: $(tr '\n' ' ' <"$dir/total.txt")"
    fi
    grep -q '^Stopped; the statistics are saved' "$log" ||
        fail "task ${job}_$task: no 'Stopped; the statistics are saved' in its log $log"
    say "task ${job}_$task: $state, $nodes nodes saved"
}

say "submitting two tasks, to be stopped by SIG$signal 40 s before their one-minute limit"
started=$SECONDS
job=$(submit --array=1-2 --time=1 --signal="B:$signal@40") || fail "sbatch failed"
jobs+=("$job")
wait_for_job "$job" 150
say "job $job ended after $((SECONDS - started)) s"
for task in 1 2; do
    check_task "$job" "$task" COMPLETED
    grep -q 'stop requested' "$tmp/log/tessaly-${job}_$task.out" ||
        fail "task ${job}_$task was not stopped by the early SIG$signal"
done
passed=$((passed + 1))

say "submitting one task through the installed batch script, to be cancelled with scancel"
job=$(submit_installed --array=3 --time=5) || fail "sbatch failed"
jobs+=("$job")
for ((i = 0; i < 60; i++)); do
    [ "$(task_states "$job")" = "3 RUNNING" ] && break
    sleep 1
done
[ "$(task_states "$job")" = "3 RUNNING" ] || fail "job $job is not running after 60 s"
sleep 15
scancel "$job" || fail "scancel $job failed"
wait_for_job "$job" 60
check_task "$job" 3 CANCELLED
grep -qF ": $tmp/install/bin/tessaly -o" "$tmp/log/tessaly-${job}_3.out" ||
    fail "task ${job}_3: the installed batch script did not run the installed solver"
passed=$((passed + 1))

# --- Merged statistics ------------------------------------------------------------------------
stats_status=0
# Relative names, short enough to stand whole in the column heads.
stats_out=$(cd "$tmp" && "$release/tessaly-stats" runs/1 runs/2 runs/3 2>&1) || stats_status=$?
echo "$stats_out"
[ "$stats_status" -eq 0 ] || fail "tessaly-stats ended with status $stats_status"
for task in 1 2 3; do
    grep -qF " runs/$task" <<<"$stats_out" || fail "tessaly-stats does not name runs/$task"
done
# The combined node count is the sum of the three statistics files.
sum=0
for task in 1 2 3; do
    sum=$((sum + $(sed -n 's/^nodes=//p' "$tmp/runs/$task/total.txt")))
done
exact=$(cd "$tmp" && "$release/tessaly-stats" --exact runs/1 runs/2 runs/3 2>/dev/null) || true
combined=$(awk '/All 3/ { all = 1 } all && $1 == "Nodes" { print $2; exit }' <<<"$exact")
[ "$combined" = "$sum" ] || fail "tessaly-stats adds the nodes up to '$combined', the files to $sum"
passed=$((passed + 1))
