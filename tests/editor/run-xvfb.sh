#!/usr/bin/env bash
# Runs a command on a private Xvfb server: DISPLAY names it while the command runs, and the
# server is stopped afterwards, however the command ends. Exits with the command's status.
set -u
if ! command -v Xvfb >/dev/null; then
  echo "run-xvfb.sh: Xvfb is not installed (bash scripts/deps.sh installs it)" >&2
  exit 1
fi
dir=$(mktemp -d)
xvfb=
stop() {
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
  fi
  rm -rf "$dir"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# Xvfb picks a free display number and writes it to the file once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
xvfb=$!
for _ in $(seq 200); do
  [ -s "$dir/display" ] && break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$dir/display" ]; then
  echo "run-xvfb.sh: Xvfb did not start:" >&2
  cat "$dir/log" >&2
  exit 1
fi
DISPLAY=":$(head -n1 "$dir/display")" "$@"
status=$?
exit "$status"
