#!/usr/bin/env bash
# Runs a command inside one headless Wine session: a private Xvfb display, one persistent
# wineserver and a resident desktop keeper, all ended when the command ends.
#   tools/wine-session.sh BUILD-DIR command...
# The session's Wine prefix is BUILD-DIR/wineprefix, created on first use.
# Exit status: the command's.
set -euo pipefail

BUILD=$(realpath "$1"); shift
export WINEPREFIX=$BUILD/wineprefix
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
KEEPER=$BUILD/desktop-keeper.exe
GEOMETRY=${KOVA_SCREEN:-1920x1080x24}

log() { echo "[wine-session] $*" >&2; }

# wineboot fills system32 with copies of Wine's own DLLs, half a gigabyte: links to the same
# files serve Wine as well and keep a build tree a newcomer's disk holds.
link_wine_dlls() {
  local system32=$WINEPREFIX/drive_c/windows/system32 lib=/usr/lib/i386-linux-gnu/wine/i386-windows copy name
  [ -d "$lib" ] || return 0
  for copy in "$system32"/*.dll "$system32"/*.exe "$system32"/*.drv "$system32"/*.sys "$system32"/*.ocx; do
    name=$(basename "$copy")
    if [ -f "$copy" ] && [ ! -L "$copy" ] && cmp -s "$copy" "$lib/$name"; then
      ln -sf "$lib/$name" "$copy"
    fi
  done
}

prepare_prefix() {
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.kova-ready" ]; then
    log "creating Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # Debian's Wine does not find its own TTFs (Tahoma, Marlett...) unless they sit in the
    # prefix; without them GDI+ has no generic sans-serif family.
    cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # Wine links no fonts: the LCD's Chinese texts need one face with both their Chinese and
    # their Latin glyphs (WenQuanYi Micro Hei; Droid Sans Fallback has no Latin).
    cp -n /usr/share/fonts/truetype/wqy/wqy-microhei.ttc /usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf \
      "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # A crash prints a backtrace instead of opening a dialog that would hang the run.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # No window manager on Xvfb: managed windows stall DestroyWindow for 2 s.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
      /v Arial /t REG_SZ /d 'Liberation Sans' /f >/dev/null 2>&1
    wineserver -w
    link_wine_dlls
    touch "$WINEPREFIX/.kova-ready"
  fi
  flock -u 9
}

. "$(dirname "$(readlink -f "$0")")/own-display.sh"

prepare_prefix
start_own_display
trap 'rc=$?; end_session; exit $rc' EXIT
end_session() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  stop_own_display
}
export KOVA_WINE_SESSION=$BUILD

wineserver -p
if [ -f "$KEEPER" ]; then
  rm -f "$WINEPREFIX/drive_c/desktop-keeper.ready"
  wine "$KEEPER" </dev/null >/dev/null 2>&1 &
  for _ in $(seq 1 200); do [ -f "$WINEPREFIX/drive_c/desktop-keeper.ready" ] && break; sleep 0.05; done
fi

# A new prefix's lazy first-use work (font cache, OLE, the multimedia timer) is done here, once,
# not by whichever test programs happen to start first.
WARMUP=$BUILD/wine-warmup.exe
if [ -f "$WARMUP" ] && [ ! -f "$WINEPREFIX/.kova-warm" ]; then
  log "warming the prefix"
  wine "$WARMUP" </dev/null >/dev/null 2>&1 && touch "$WINEPREFIX/.kova-warm"
fi

"$@"
