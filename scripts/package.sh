#!/usr/bin/env bash
# Builds the Debian package of Tagdesk: the window, libReader with its header
# and pkg-config file, readersim, the desktop entry, metadata, icons and man
# pages. Prints the package's path; install it with `sudo apt install ./<path>`.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAGDESK_PACKAGE_BUILD_DIR:-$root/build-package}"

"$root/scripts/install-deps.sh" package
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DTAGDESK_WITH_TESTS=OFF -DTAGDESK_WITH_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/tagdesk_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/tagdesk_*.deb
