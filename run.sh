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
# The host list names the simulator; an operator's own list keeps its entries.
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
  # Port 111 needs privileges here: the board listens on 1111 instead.
  port=1111
  echo "note: cannot bind UDP port 111; the simulator listens on 127.0.0.1:$port" >&2
  start_board "$port"
fi
trap 'kill "$board_pid" 2>/dev/null || true' EXIT
# Connect goes to the first host entry. On 1111 the simulator's entry names that port, ahead of
# the operator's own entries; on 111 such an entry left first by an earlier run would lead
# nowhere, so it goes.
fallback_entry="127.0.0.1:1111"
if [ "$port" = 1111 ]; then
  awk -v e="$fallback_entry" 'BEGIN { printf "%s\r\n", e } { l = $0; sub(/\r$/, "", l) } l != e' \
    terminal.ini > terminal.ini.new
else
  awk -v e="$fallback_entry" '{ l = $0; sub(/\r$/, "", l) } !(NR == 1 && l == e)' \
    terminal.ini > terminal.ini.new
fi
mv terminal.ini.new terminal.ini
grep -q '[^[:space:]]' terminal.ini || printf '127.0.0.1\r\n' > terminal.ini
echo "Board simulator: UDP 127.0.0.1:$port, serial port $demo/board-tty (type it into the Port box)"

terminal="$here/build-run/src/app/brenmoor"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "no display found: starting the terminal on a virtual X display (xvfb-run)" >&2
  xvfb-run -a "$terminal"
else
  "$terminal"
fi
