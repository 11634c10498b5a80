# Sourced by the scripts that need a display: start_xvfb starts a private Xvfb on a free
# display number and sets XVFB_PID and XVFB_DISPLAY (":N"); the caller stops it.
start_xvfb() {
  local fifo number
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 7 -screen 0 1024x768x24 -nolisten tcp 7>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  read -r number <"$fifo" || true
  rm -f "$fifo"
  [ -n "$number" ] || { echo "Xvfb did not start" >&2; return 1; }
  XVFB_DISPLAY=:$number
}
