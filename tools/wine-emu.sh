#!/usr/bin/env bash
# CTest's emulator for the Windows test programs: runs one under Wine.
#   tools/wine-emu.sh BUILD-DIR program.exe args...
# Inside a session of tools/wine-session.sh each program runs on an X display and a Wine
# desktop of its own: the foreground window, the activation, the keyboard focus and the pointer
# are per desktop in Wine, and X focus and pointer moves cross desktops that share a display.
# So no test program can take them from another running beside it. Run alone (a single test,
# or plain ctest) it opens a one-off session, one at a time, since a session ends every process
# of its prefix when it closes.
# Exit status: the Windows exit code's low byte (a non-zero code with low byte 0 gives 1).
set -euo pipefail
BUILD=$(realpath "$1"); shift
HERE=$(dirname "$(readlink -f "$0")")
if [ "${KOVA_WINE_SESSION:-}" != "$BUILD" ]; then
  exec flock "$BUILD/wine-session.lock" "$HERE/wine-session.sh" "$BUILD" "$0" "$BUILD" "$@"
fi
export WINEPREFIX=$BUILD/wineprefix WINEARCH=win32
# shellcheck source=tools/own-display.sh
. "$HERE/own-display.sh"
start_own_display
wine "$BUILD/desktop-run.exe" "kova-$$-$RANDOM" "$@" &
PROGRAM=$!
wait $PROGRAM
