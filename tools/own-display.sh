# Sourced by the Wine scripts: a private Xvfb display for this shell and its children, ended
# when the shell exits. KOVA_SCREEN sets its geometry (default 1920x1080x24).
XVFB_PID=
stop_own_display() {
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; XVFB_PID=; fi
}
start_own_display() {
  local display_file
  display_file=$(mktemp)
  # -displayfd picks a free display number and writes it when the server accepts clients.
  Xvfb -displayfd 3 -screen 0 "${KOVA_SCREEN:-1920x1080x24}" -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  XVFB_PID=$!
  trap 'rc=$?; stop_own_display; exit $rc' EXIT
  trap 'exit 143' INT TERM
  for _ in $(seq 1 200); do [ -s "$display_file" ] && break; sleep 0.05; done
  if [ ! -s "$display_file" ]; then rm -f "$display_file"; echo "Xvfb did not start" >&2; exit 1; fi
  export DISPLAY=":$(head -n1 "$display_file")"
  rm -f "$display_file"
}
