#!/usr/bin/env bash
# Installs the Debian packages Tagdesk needs to build, test and run, when any is missing.
# Usage: scripts/install-deps.sh [build|test|run|package|windows|ci]
set -euo pipefail

build=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev libserialport-dev libjpeg-dev libtomlplusplus-dev
       libcli11-dev nlohmann-json3-dev)
# The accessibility walk (e2e_accessibility) runs the window under Xvfb and reads it over AT-SPI.
# Ansible builds the collection's tarball and runs its tests (ansible_collection).
test=(libgtest-dev libbenchmark-dev xvfb at-spi2-core dbus python3-pyatspi python3-xlib ansible-core)
run=(fonts-wqy-microhei xvfb xauth)
# The package carries the Ansible collection's tarball, which ansible-galaxy builds.
package=(librsvg2-bin ansible-core)
ci=(clang libclang-rt-dev librsvg2-bin desktop-file-utils appstream lintian bash-completion)
# The Windows cross-build and its run under Wine (scripts/build-windows.sh):
# MinGW-w64, the sources of GoogleTest (built with MinGW for the tests), Wine.
windows=(g++-mingw-w64-x86-64 googletest wine64)

case "${1:-test}" in
  build) wanted=("${build[@]}") ;;
  test) wanted=("${build[@]}" "${test[@]}") ;;
  run) wanted=("${build[@]}" "${test[@]}" "${run[@]}") ;;
  package) wanted=("${build[@]}" "${package[@]}") ;;
  windows) wanted=("${build[@]}" "${test[@]}" "${windows[@]}") ;;
  ci) wanted=("${build[@]}" "${test[@]}" "${ci[@]}" "${windows[@]}") ;;
  *) echo "usage: $0 [build|test|run|package|windows|ci]" >&2; exit 2 ;;
esac

missing=()
for pkg in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
