#!/usr/bin/env bash
# Brings a fresh Debian 12 machine to a built KOVA: packages, media dependencies, library,
# tests and sample host. Every step is skipped when already done.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash tools/install-packages.sh
bash tools/build-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
