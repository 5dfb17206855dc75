#!/usr/bin/env bash
# The test of the test harness: runs the README's test command N times, each time from a fresh
# clone of this repository's HEAD with a new Wine prefix (the clone has no build folder), and
# prints one line a run: green or red, the failed tests, the test phase's and the whole run's
# wall time. Logs stay in the work folder, and the clone of a red run.
#   tools/first-runs.sh [-n N] [-c CPUS] [-l] [-w WORKDIR]
#     -c CPUS  run each clone's build and tests on these CPUs only (taskset list, e.g. 0,1)
#     -l       load half the cores with busy loops beside each run
# With ccache installed, the clones share compiled objects (the build is not what is tested).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
RUNS=10 CPUS= LOAD=0 WORK=
while getopts "n:c:lw:" opt; do
  case $opt in
    n) RUNS=$OPTARG ;; c) CPUS=$OPTARG ;; l) LOAD=1 ;; w) WORK=$OPTARG ;;
    *) sed -n 2,9p "$0" >&2; exit 2 ;;
  esac
done
WORK=${WORK:-$(mktemp -d /tmp/kova-first-runs.XXXXXX)}
mkdir -p "$WORK"
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_NOHASHDIR=1
fi

LOAD_PIDS=()
start_load() {
  local n=$(( $(nproc) / 2 ))
  for _ in $(seq 1 "$n"); do (while :; do :; done) & LOAD_PIDS+=($!); done
}
stop_load() { [ ${#LOAD_PIDS[@]} -eq 0 ] || kill "${LOAD_PIDS[@]}" 2>/dev/null || true; LOAD_PIDS=(); }
trap stop_load EXIT

green=0
for run in $(seq 1 "$RUNS"); do
  clone=$WORK/run$run
  rm -rf "$clone"
  git clone -q "$ROOT" "$clone"
  log=$WORK/run$run.log
  [ $LOAD = 1 ] && start_load
  start=$(date +%s)
  set +e
  if [ -n "$CPUS" ]; then
    (cd "$clone" && CI=true CCACHE_BASEDIR="$clone" taskset -c "$CPUS" bash .ci/run) >"$log" 2>&1 </dev/null
  else
    (cd "$clone" && CI=true CCACHE_BASEDIR="$clone" bash .ci/run) >"$log" 2>&1 </dev/null
  fi
  rc=$?
  set -e
  stop_load
  wall=$(( $(date +%s) - start ))
  tests=$(grep -oE 'Total Test time \(real\) = +[0-9.]+ sec' "$log" | grep -oE '[0-9.]+ sec' || echo "? sec")
  failed=$(sed -n '/The following tests FAILED/,$p' "$log" | grep -oE '^[[:space:]]+[0-9]+ - [^ ]+' | awk '{print $3}' | paste -sd, - || true)
  if [ $rc = 0 ]; then state=green; green=$((green + 1)); else state=red; fi
  echo "run $run: $state${failed:+ ($failed)}, tests $tests, whole run ${wall} s, log $log"
  # A clone's build takes about two gigabytes: a green run keeps only its log, a red one its
  # whole clone.
  [ $rc = 0 ] && rm -rf "$clone"
done
echo "$green of $RUNS runs green"
[ "$green" = "$RUNS" ]
