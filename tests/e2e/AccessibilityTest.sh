#!/usr/bin/env bash
# Walks the window as a screen reader and a keyboard-only operator do
# (AccessibilityTest.py): the program over a fresh readersim behind "COM1",
# under Xvfb, on a session bus of its own with the AT-SPI bus.
#   AccessibilityTest.sh <tagdesk> <readersim>
# Exits 77 (skipped) with the reason when the tools for the bus are missing or
# the bus does not start.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
program="$1"
readersim="$2"
# shellcheck source=scripts/await-readersim.sh
. "$here/../../scripts/await-readersim.sh"

skip() {
  echo "SKIPPED: $* (scripts/install-deps.sh test installs what the walk needs)"
  exit 77
}
# Debian's interpreter holds pyatspi; another python3 first on PATH may not.
python=/usr/bin/python3
command -v Xvfb >/dev/null || skip "no Xvfb"
command -v dbus-run-session >/dev/null || skip "no dbus-run-session"
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "no at-spi-bus-launcher (at-spi2-core)"
"$python" -c "import pyatspi" 2>/dev/null || skip "no pyatspi for $python (python3-pyatspi)"
"$python" -c "import Xlib" 2>/dev/null || skip "no Xlib for $python (python3-xlib)"

rundir="$(mktemp -d "${TMPDIR:-/tmp}/tagdesk-a11y.XXXXXX")"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$rundir"
}
trap cleanup EXIT

"$readersim" --tcp 127.0.0.1:0 --pty-link "$rundir/COM1" >"$rundir/readersim.out" 2>"$rundir/readersim.err" &
pids+=($!)
port="$(await_readersim "$rundir/readersim.out" "$rundir/readersim.err" "${pids[-1]}")"

# A display of its own: Xvfb picks a free number and writes it to fd 3. It
# stays as it is when its last client leaves (-noreset): a client connecting
# while it reset itself would be refused.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$rundir/display" 2>"$rundir/xvfb.err" &
pids+=($!)
for _ in $(seq 50); do [ -s "$rundir/display" ] && break; sleep 0.1; done
[ -s "$rundir/display" ] || skip "Xvfb did not start: $(cat "$rundir/xvfb.err")"

mkdir -m 700 "$rundir/runtime"
export DISPLAY=":$(head -n1 "$rundir/display")" XDG_RUNTIME_DIR="$rundir/runtime"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export READER_COM1="$rundir/COM1" READER_TCP_PORT="$port"
# The AT-SPI bus starts on demand within the session; where it cannot, there is nothing to walk.
dbus-run-session -- bash -c '
  dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 \
    || { echo "SKIPPED: the AT-SPI bus does not start here"; exit 77; }
  exec "$0" "$@"' "$python" "$here/AccessibilityTest.py" "$program" 2> >(grep -v -e "Failed to set fd limit" -e "Activat" >&2)
