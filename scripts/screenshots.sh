#!/usr/bin/env bash
# Pictures of every page of the window after "Connect" and "Query Para"
# against the virtual reader: docs/pages/<page>.png with docs/pages/README.md
# listing them, and docs/window.png (the "Antenna  Power" page); then the Tag
# Monitor showing the virtual reader's 25 tags, and a format mismatch. Walks
# whatever tabs the window has. Without a display it runs itself under a
# virtual one (Xvfb). Fails, after taking the pictures, if a text does not
# fit its control.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAGDESK_BUILD_DIR:-$root/build}"
# shellcheck source=scripts/await-readersim.sh
. "$root/scripts/await-readersim.sh"

"$root/scripts/install-deps.sh" run
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target page_pictures readersim

rundir="$(mktemp -d "${TMPDIR:-/tmp}/tagdesk-pictures.XXXXXX")"
# A fresh reader: the factory settings, no state file; 25 tags, each read 4 times a second.
"$build/sim/readersim" --tcp 127.0.0.1:0 --pty-link "$rundir/COM1" --tag-count 25 --tag-rate 4 \
  >"$rundir/readersim.out" 2>"$rundir/readersim.err" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; rm -rf "$rundir"' EXIT

port="$(await_readersim "$rundir/readersim.out" "$rundir/readersim.err" "$sim")"

rm -f "$root"/docs/pages/*.png
status=0
READER_COM1="$rundir/COM1" READER_TCP_PORT="$port" "$build/tools/page_pictures/page_pictures" "$root/docs/pages" || status=$?
if [ -f "$root/docs/pages/rf-parameter-antenna-power.png" ]; then
  cp "$root/docs/pages/rf-parameter-antenna-power.png" "$root/docs/window.png"
fi
exit "$status"
