#!/usr/bin/env bash
# Runs the headless sample host (tools/run.sh's run) N times, J at once, all in one Wine
# session (one wineserver and prefix; each run on an X display and a Wine desktop of its own,
# with an output folder of its own), and counts what went wrong: runs that crashed (Wine's
# crash report in the run's output), that did not end within the time limit, that ended with
# another non-zero code, and runs that left a page of examples/pages/PageList.cpp without its
# picture. Prints a line for each run that went wrong and a closing count; the whole log and
# output folder of such a run stay in the work folder.
#   tools/sample-host-runs.sh [-n N] [-j J] [-t SECONDS] [-w WORKDIR]
#     defaults: 200 runs, 8 at once, 420 s a run (the limit of examples.SampleHostPages)
# Exit status: 0 when every run ended with 0, crash-free, with every page written.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
RUNS=200 JOBS=8 LIMIT=420 WORK=
while getopts "n:j:t:w:" opt; do
  case $opt in
    n) RUNS=$OPTARG ;; j) JOBS=$OPTARG ;; t) LIMIT=$OPTARG ;; w) WORK=$OPTARG ;;
    *) sed -n 2,11p "$0" >&2; exit 2 ;;
  esac
done

if [ -z "${KOVA_WINE_SESSION:-}" ]; then
  [ -f "$ROOT/build/bin/SampleHost.exe" ] || { echo "build the sample host first (tools/setup.sh)" >&2; exit 2; }
  WORK=${WORK:-$(mktemp -d /tmp/kova-host-runs.XXXXXX)}
  exec "$ROOT/tools/wine-session.sh" "$ROOT/build" "$0" -n "$RUNS" -j "$JOBS" -t "$LIMIT" -w "$WORK"
fi

HOST=$ROOT/build/bin/SampleHost.exe
PAGES=$(grep -cE '^ *&k[A-Za-z]+Page,' "$ROOT/examples/pages/PageList.cpp")
mkdir -p "$WORK"
rm -f "$WORK/results"

# One run: its verdict is the last line of its log.
one_run() {
  local run=$1 dir=$WORK/run$1 rc=0 start verdict pages
  rm -rf "$dir"
  mkdir -p "$dir/out"
  start=$(date +%s)
  timeout -k 10 "$LIMIT" "$ROOT/tools/wine-emu.sh" "$ROOT/build" "$HOST" "Z:$dir/out" >"$dir/log" 2>&1 </dev/null || rc=$?
  pages=$(find "$dir/out/pages" -name '*.png' -size +0 2>/dev/null | wc -l)
  if grep -qE 'Unhandled (exception|page fault)|Backtrace:|wine client error' "$dir/log"; then
    verdict=crash
  elif [ "$rc" = 124 ] || [ "$rc" = 137 ]; then
    verdict=timeout
  elif [ "$rc" != 0 ]; then
    verdict="exit $rc"
  else
    verdict=ok
  fi
  [ "$pages" = "$PAGES" ] || verdict="$verdict, pages missing"
  echo "run $run: $verdict, $pages of $PAGES pages, $(( $(date +%s) - start )) s" | tee -a "$dir/log" >>"$WORK/results"
  case $verdict in
    ok) rm -rf "$dir" ;;
    *) tail -n1 "$dir/log"
       # Where a crash happened: the faulting thread's first frames.
       grep -m1 -A4 'Backtrace:' "$dir/log" | sed 's/^/    /' || true ;;
  esac
}

running=0
for run in $(seq 1 "$RUNS"); do
  one_run "$run" &
  running=$((running + 1))
  if [ "$running" -ge "$JOBS" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

count() { grep -cE "^run [0-9]+: $1" "$WORK/results" || true; }
failed=$((RUNS - $(count 'ok, [0-9]')))
crashes=$(count crash)
timeouts=$(count timeout)
others=$(count exit)
missing=$(count '.*pages missing')
echo "$RUNS runs, $JOBS at once: $((RUNS - failed)) clean, $crashes crashed, $timeouts timed out," \
  "$others ended with another code, $missing with a page missing; logs in $WORK"
[ "$failed" = 0 ]
