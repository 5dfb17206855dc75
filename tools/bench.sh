#!/usr/bin/env bash
# Builds (tools/setup.sh) and runs the benchmarks, each pinned to one CPU together with a
# Wine session of its own: a call into the Wine server costs ten times more unpinned.
#   tools/bench.sh [CPU]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
CPU=${1:-1}
bash tools/setup.sh >/dev/null
for bench in build/bin/*Bench.exe; do
  echo "== $(basename "$bench" .exe)"
  taskset -c "$CPU" tools/wine-session.sh build wine "$bench"
done
