#!/usr/bin/env bash
# AccessibilityTest.sh <tagdesk> <readersim>: AccessibilityTest.py against the
# program over a fresh readersim behind "COM1", under Xvfb, on a session bus of
# its own with the AT-SPI bus. Exits 77 (skipped), saying why, where these are missing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=scripts/await-readersim.sh
. "$here/../../scripts/await-readersim.sh"
skip() { echo "SKIPPED: $* (scripts/install-deps.sh test installs it)"; exit 77; }
python=/usr/bin/python3   # Debian's, which holds pyatspi; another python3 on PATH may not
command -v Xvfb >/dev/null || skip "no Xvfb"
command -v dbus-run-session >/dev/null || skip "no dbus-run-session"
"$python" -c "import pyatspi, Xlib" 2>/dev/null || skip "no python3-pyatspi or python3-xlib"

rundir="$(mktemp -d "${TMPDIR:-/tmp}/tagdesk-a11y.XXXXXX")"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait; rm -rf "$rundir"' EXIT
"$2" --tcp 127.0.0.1:0 --pty-link "$rundir/COM1" >"$rundir/readersim.out" 2>"$rundir/readersim.err" &
pids+=($!)
port="$(await_readersim "$rundir/readersim.out" "$rundir/readersim.err" "$!")"
# Xvfb picks a free display and writes it to fd 3. -noreset: it would refuse
# clients for a moment each time its last one leaves.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$rundir/display" 2>"$rundir/xvfb.err" &
pids+=($!)
for _ in $(seq 50); do [ -s "$rundir/display" ] && break; sleep 0.1; done
[ -s "$rundir/display" ] || skip "Xvfb did not start: $(cat "$rundir/xvfb.err")"

mkdir -m 700 "$rundir/runtime"
export DISPLAY=":$(head -n1 "$rundir/display")" XDG_RUNTIME_DIR="$rundir/runtime" QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 READER_COM1="$rundir/COM1" READER_TCP_PORT="$port"
dbus-run-session -- bash -c '
  dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 \
    || { echo "SKIPPED: the AT-SPI bus does not start here"; exit 77; }
  exec "$0" "$@"' "$python" "$here/AccessibilityTest.py" "$1" 2> >(grep -v -e "fd limit" -e "Activat" >&2)
