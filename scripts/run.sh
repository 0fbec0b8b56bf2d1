#!/usr/bin/env bash
# Builds Tagdesk and the virtual reader, starts the virtual reader, and opens the
# window with "COM1" and "TCP/IP" (127.0.0.1) both leading to it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAGDESK_BUILD_DIR:-$root/build}"
# shellcheck source=scripts/await-readersim.sh
. "$root/scripts/await-readersim.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
Tagdesk is a desktop program and needs a display, but neither DISPLAY nor
WAYLAND_DISPLAY is set. Run this command from a desktop session, or under a
virtual display:  xvfb-run -a scripts/run.sh
MSG
  exit 1
fi

"$root/scripts/install-deps.sh" run
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target tagdesk readersim

rundir="${XDG_RUNTIME_DIR:-/tmp}/tagdesk-$$"
mkdir -p "$rundir"
"$build/sim/readersim" --tcp 127.0.0.1:4001 --pty-link "$rundir/COM1" \
  --state "$build/readersim-state" >"$rundir/readersim.out" 2>"$rundir/readersim.err" &
sim=$!
trap 'kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; rm -rf "$rundir"' EXIT

port="$(await_readersim "$rundir/readersim.out" "$rundir/readersim.err" "$sim")"

echo "Virtual reader ready: COM1 -> $rundir/COM1, TCP/IP -> 127.0.0.1 port $port"
echo "Press \"Connect\" with the defaults (COM1) to talk to it."
READER_COM1="$rundir/COM1" READER_TCP_PORT="$port" "$build/app/tagdesk"
