#!/usr/bin/env bash
# Opens the terminal with the bundled board simulator as its default board.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build-run" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build-run" --target brenmoor brenmoor-board

demo="$here/demo"
mkdir -p "$demo"
cd "$demo"
# The host list names the simulator; an operator's own list is left alone.
[ -f terminal.ini ] || printf '127.0.0.1\r\n' > terminal.ini

board="$here/build-run/tools/board/brenmoor-board"
# An ordinary user may not bind the board port 111: this build of the simulator (never the
# packaged one) gets that one right, through sudo as the install step does.
# (setcap lives in /usr/sbin, which sudo's path has and an ordinary user's often lacks.)
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null; then
  sudo setcap cap_net_bind_service=+ep "$board" ||
    echo "note: could not let the simulator bind port 111 (setcap through sudo failed)" >&2
fi
start_board() {
  "$board" --udp "127.0.0.1:$1" --pty-link "$demo/board-tty" --disk "$demo/flash" &
  board_pid=$!
  sleep 0.5
  kill -0 "$board_pid" 2>/dev/null
}
port=111
if ! start_board "$port"; then
  # Port 111 needs privileges here: the board listens on 1111 instead, and the terminal's
  # Remote-Port box (below the panels; make the window taller to see it) must say 1111.
  port=1111
  echo "note: cannot bind UDP port 111; the simulator listens on 127.0.0.1:$port" >&2
  start_board "$port"
fi
trap 'kill "$board_pid" 2>/dev/null || true' EXIT
echo "Board simulator: UDP 127.0.0.1:$port, serial port $demo/board-tty (type it into the Port box)"

terminal="$here/build-run/src/app/brenmoor"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "no display found: starting the terminal on a virtual X display (xvfb-run)" >&2
  xvfb-run -a "$terminal"
else
  "$terminal"
fi
