#!/usr/bin/env bash
# Builds Reader.dll and tagdesk-cli.exe for 64-bit Windows with MinGW-w64, and
# the zip for Windows users (Reader.dll, Reader.h, the import library,
# tagdesk-cli.exe, the MinGW runtime DLLs, the docs); then runs the Windows
# tests under Wine against readersim on Linux, unless Wine cannot start here
# (then it says so and skips them: the cross-build must pass all the same).
# Prints the zip's path as its last line.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
linux_build="${TAGDESK_BUILD_DIR:-$root/build}"
build="${TAGDESK_WINDOWS_BUILD_DIR:-$root/build-windows}"

"$root/scripts/install-deps.sh" windows

# The Linux side of the run under Wine: readersim, tagdesk-cli and sim_relay,
# from the build scripts/test.sh makes (configured the same, so nothing is redone).
cmake -S "$root" -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$linux_build" -j"$(nproc)" --target readersim tagdesk-cli sim_relay

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  --toolchain "$root/cmake/MinGW-w64-x86_64.cmake" -DTAGDESK_LINUX_BUILD="$linux_build" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/tagdesk-*-windows-*.zip
(cd "$build" && cpack >/dev/null)
zip="$(ls "$build"/tagdesk-*-windows-*.zip)"

# Wine's own output goes to a file of its prefix (wine-run.sh): shown only when something fails.
wine_log="$build/wine/wineserver.log"
rm -f "$wine_log"
show_wine_log() {
  [ -s "$wine_log" ] || return 0
  echo "The end of Wine's own output ($wine_log):" >&2
  tail -20 "$wine_log" >&2
}
if wine_error="$("$build/wine-run.sh" "$build/cli/tagdesk-cli.exe" --help 2>&1 >/dev/null)"; then
  trap '"$build/wine-run.sh" --end' EXIT
  "$root/packaging/check-zip.sh" "$zip" "$build/wine-run.sh" || { show_wine_log; exit 1; }
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)" || { show_wine_log; exit 1; }
else
  "$root/packaging/check-zip.sh" "$zip"
  echo "Wine cannot start here, so the Windows programs are not run (the cross-build and the zip are done):" >&2
  echo "${wine_error:-no reason given}" | tail -5 >&2
fi
echo "$zip"
