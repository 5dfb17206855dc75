#!/usr/bin/env bash
# Sets up everything (tools/setup.sh) and runs the sample host headless on a virtual display:
# it shows each of its pages in turn and writes out/pages/NAME.png (one picture per page),
# what the pages write themselves (the LCD frames into out/lcd/) and out/notifications.txt.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash tools/setup.sh
# Pages and frames of an earlier run would pass for this run's.
rm -rf out/pages out/lcd
mkdir -p out
tools/wine-session.sh build bash -c 'cd out && wine ../build/bin/SampleHost.exe "$(winepath -w .)"'
echo "sample host: $(cd out && ls pages/*.png | tr '\n' ' ')in $ROOT/out"
