#!/usr/bin/env bash
# Sets up everything (tools/setup.sh) and runs the sample host on a virtual display; it
# writes its screenshot and notification log into out/.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash tools/setup.sh
mkdir -p out
tools/wine-session.sh build bash -c 'cd out && wine ../build/bin/SampleHost.exe "$(winepath -w .)"'
echo "sample host: $(ls out | tr '\n' ' ')in $ROOT/out"
