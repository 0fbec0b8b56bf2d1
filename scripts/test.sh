#!/usr/bin/env bash
# Builds Tagdesk with every test and runs them all.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAGDESK_BUILD_DIR:-$root/build}"

"$root/scripts/install-deps.sh" test
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
