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

# run_with_limit SECONDS COMMAND...: runs the command and returns its status; when it has not
# ended after SECONDS (under Xvfb nobody can answer a message box), it is sent SIGTERM, which
# answers an open box and ends the program, and the status is 124.
run_with_limit() {
  local limit=$1 pid status=0 i
  shift
  "$@" &
  pid=$!
  for ((i = 0; i < limit * 10; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "$1 did not end within ${limit}s (a message box under Xvfb waits for an answer nobody can give); ending it" >&2
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" || true
    return 124
  fi
  wait "$pid" || status=$?
  return $status
}
