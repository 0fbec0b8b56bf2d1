#!/usr/bin/env bash
# Checks a built Tagdesk package without touching this machine's system:
# lintian finds no error or warning that the package does not override with
# its reason, dpkg installs it into a scratch root, the desktop entry and the
# AppStream metadata are validated there, the installed programs tell the
# package's version, the installed readersim is started and the installed
# program talks to it offscreen, the Ansible collection installs and its
# modules' documentation renders, the shell completions answer, a small program
# is built against the installed library through its pkg-config file, and
# purging the package leaves the scratch root empty again.
# Usage: packaging/check-package.sh build-package/tagdesk_<version>_<arch>.deb
set -euo pipefail
# shellcheck source=scripts/await-readersim.sh
. "$(dirname "$0")/../scripts/await-readersim.sh"
deb="$(realpath "$1")"
app_id=org.tagdesk.Tagdesk

scratch="$(mktemp -d)"
chmod 755 "$scratch"  # the unprivileged run below reads the installed tree
sim=""
cleanup() {
  if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

root="$scratch/root"
usr="$root/usr"
libdir="$usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)"
dpkg_root=(dpkg --root="$root" --log=/dev/null --force-script-chrootless)

echo "-- package"
dpkg-deb -f "$deb" Package Version Depends Recommends
version="$(dpkg-deb -f "$deb" Version)"

echo "-- lintian"
# The tags packaging/debian/tagdesk.lintian-overrides overrides, each with its reason, do not count.
lintian --fail-on error,warning "$deb" 2>&1 | { grep -v "running with root privileges" || true; }
echo "no error or warning"
# Every dependency is a package this system's archive knows.
apt-get install --simulate "$deb" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log"; exit 1; }

# dpkg installs and purges in the scratch root as root; the maintainer
# scripts run outside it (there is no shell inside), and only call ldconfig.
# Anyone else can only unpack the package there.
as_root=false
[ "$(id -u)" -eq 0 ] && as_root=true
if $as_root; then
  echo "-- install into a scratch root"
  mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
  touch "$root/var/lib/dpkg/status"
  # The root holds no libraries, so dpkg cannot see the dependencies there.
  "${dpkg_root[@]}" --force-depends -i "$deb" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; exit 1; }
else
  echo "-- unpack into a scratch root (installing there needs root)"
  dpkg -x "$deb" "$root"
fi

echo "-- desktop entry, AppStream metadata, icons"
desktop-file-validate "$usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net --strict "$usr/share/metainfo/$app_id.metainfo.xml"
grep -qx "Icon=$app_id" "$usr/share/applications/$app_id.desktop"
for icon in scalable/apps/$app_id.svg 32x32/apps/$app_id.png 48x48/apps/$app_id.png \
            64x64/apps/$app_id.png 128x128/apps/$app_id.png 256x256/apps/$app_id.png; do
  test -s "$usr/share/icons/hicolor/$icon" || { echo "missing icon $icon" >&2; exit 1; }
done

echo "-- the installed program finds the installed libReader without LD_LIBRARY_PATH"
found="$(env -u LD_LIBRARY_PATH ldd "$usr/bin/tagdesk" | awk '$1 == "libReader.so.1" { print $3 }')"
[ "$(realpath "$found")" = "$(realpath "$libdir/libReader.so")" ] || { echo "libReader.so.1 found at '$found'" >&2; exit 1; }

echo "-- the installed programs tell the package's version, without a display"
for program in tagdesk tagdesk-cli readersim; do
  told="$(env -u DISPLAY -u WAYLAND_DISPLAY -u LD_LIBRARY_PATH "$usr/bin/$program" --version)"
  [ "$told" = "$program $version" ] || { echo "$program --version: '$told'" >&2; exit 1; }
done

echo "-- the installed program over the installed readersim"
"$usr/bin/readersim" --tcp 127.0.0.1:0 --pty-link "$scratch/COM1" --firmware 7.3.5.1 \
  >"$scratch/sim.out" 2>"$scratch/sim.err" &
sim=$!
port="$(await_readersim "$scratch/sim.out" "$scratch/sim.err" "$sim")"

log="$(env -u LD_LIBRARY_PATH READER_COM1="$scratch/COM1" QT_QPA_PLATFORM=offscreen \
  "$usr/bin/tagdesk" --check-link 2>"$scratch/tagdesk.err")" || { echo "$log"; cat "$scratch/tagdesk.err"; exit 1; } >&2
echo "$log"
grep -q "Reader Firmware Version is V 7.3.5.1 !" <<<"$log"

echo "-- the installed tagdesk-cli reads the installed readersim into a profile"
for page in tagdesk tagdesk-cli readersim; do
  gzip -t "$usr/share/man/man1/$page.1.gz"
done
env -u LD_LIBRARY_PATH READER_TCP_PORT="$port" "$usr/bin/tagdesk-cli" read --port tcp:127.0.0.1 \
  --output "$scratch/reader.toml" 2>"$scratch/cli.err" || { cat "$scratch/cli.err" >&2; exit 1; }
grep -q '^format = 1' "$scratch/reader.toml"
echo "profile of $(grep -c ' = ' "$scratch/reader.toml") values read"

echo "-- the installed readersim found by the installed tagdesk-cli scan"
found="$(env -u LD_LIBRARY_PATH "$usr/bin/tagdesk-cli" scan --json --port "tcp:127.0.0.0/24:$port" 2>/dev/null)"
grep -qx "{\"type\":\"reader\",\"port\":\"tcp:127.0.0.1:$port\",\"station\":1,\"firmware\":\"7.3.5.1\"}" <<<"$found" \
  || { echo "$found"; exit 1; } >&2

echo "-- the Ansible collection: the same bytes every build, installed from the package, its modules documented"
collection="$(ls "$usr"/share/tagdesk/ansible/tagdesk-readers-*.tar.gz)"
/usr/bin/python3 - "$collection" <<'PY'
import sys, tarfile
with open(sys.argv[1], 'rb') as packed:
    assert packed.read(10)[4:8] == bytes(4), 'the gzip header holds a time'
stamps = set(member.mtime for member in tarfile.open(sys.argv[1]).getmembers())
assert len(stamps) == 1, 'files of several times: %s' % stamps
PY
if command -v ansible-galaxy >/dev/null; then
  export ANSIBLE_COLLECTIONS_PATH="$scratch/collections" ANSIBLE_LOCAL_TEMP="$scratch/ansible-tmp"
  ansible-galaxy collection install -p "$ANSIBLE_COLLECTIONS_PATH" "$collection" >/dev/null
  for module in profile reader_info scan; do
    ansible-doc "tagdesk.readers.$module" | grep -q "^> TAGDESK.READERS.${module^^}"
  done
  echo "$(basename "$collection") installs; ansible-doc renders profile, reader_info, scan"
else
  echo "ansible-galaxy missing: the collection's install not tried"
fi

echo "-- bash completion, where bash-completion looks for it"
completions="$root$(pkg-config --variable=completionsdir bash-completion)"
complete_words() {  # the words offered for the command line "$@" (the last word being completed)
  PATH="$usr/bin:$PATH" bash -c '. "$1/$2"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
    "$(complete -p "$1" | awk "{ print \$3 }")"; echo "${COMPREPLY[*]}"' - "$completions" "$@"
}
[ "$(complete_words tagdesk-cli "")" = "read write verify diff scan monitor --help --version" ]
[ "$(complete_words tagdesk-cli scan --p)" = "--port --ports-from --parallel" ]
[ "$(complete_words readersim --st)" = "--state --station" ]
echo "completion answers"

echo "-- a program built against the installed library through pkg-config"
cat >"$scratch/firmware.c" <<'C'
#include <Reader.h>
#include <stdio.h>
int main(void)
{
    uint32_t handle = 0;
    uint8_t version[4];
    if (OpenReader(&handle, READER_PORT_TCP, "127.0.0.1") != READER_OK || GetFirmwareVersion(handle, version) != READER_OK)
        return 1;
    printf("%u.%u.%u.%u\n", version[0], version[1], version[2], version[3]);
    return CloseReader(handle) == READER_OK ? 0 : 1;
}
C
flags="$(PKG_CONFIG_LIBDIR="$libdir/pkgconfig" PKG_CONFIG_SYSROOT_DIR="$root" pkg-config --cflags --libs reader)"
# shellcheck disable=SC2086
cc -o "$scratch/firmware" "$scratch/firmware.c" $flags
[ "$(LD_LIBRARY_PATH="$libdir" READER_TCP_PORT="$port" "$scratch/firmware")" = 7.3.5.1 ]
echo "firmware 7.3.5.1 read through libReader"

echo "-- a port this user may not open"
if $as_root; then
  touch "$scratch/locked" && chmod 600 "$scratch/locked"
  denied="$(env -u LD_LIBRARY_PATH READER_TRACE=1 READER_COM1="$scratch/locked" QT_QPA_PLATFORM=offscreen \
    XDG_RUNTIME_DIR= HOME=/nonexistent setpriv --reuid=nobody --regid=nogroup --clear-groups \
    "$usr/bin/tagdesk" --check-link 2>&1)" && { echo "$denied"; echo "a port root keeps was opened" >&2; exit 1; }
  grep -q "Open Reader Failed !" <<<"$denied"
  grep "Permission denied" <<<"$denied"
else
  echo "skipped: needs root to run the program as another user"
fi

if $as_root; then
  echo "-- purge leaves nothing behind"
  kill "$sim"; wait "$sim" 2>/dev/null || true; sim=""
  "${dpkg_root[@]}" -P tagdesk >>"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; exit 1; }
  left="$(find "$root" -mindepth 1 -not -path "$root/var" -not -path "$root/var/lib" -not -path "$root/var/lib/dpkg*")"
  [ -z "$left" ] || { echo "left after purge:"; echo "$left"; exit 1; } >&2
fi
echo "package checked"
