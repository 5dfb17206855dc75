#!/usr/bin/env bash
# Sets up everything (tools/setup.sh) and runs every test inside one headless Wine session.
#   tools/test.sh [ctest arguments...]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash tools/setup.sh
exec tools/wine-session.sh build ctest --preset default "$@"
