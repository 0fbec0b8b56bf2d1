#!/usr/bin/env bash
# Checks the zip for Windows users as a user gets it: unpacked into a scratch
# folder it holds what the README lists, Reader.dll exports the eleven
# functions of Reader.h and nothing else, and a C program builds against
# Reader.h and the import library. Given WINE_RUN (the build's wine-run.sh),
# that program and tagdesk-cli.exe then run under Wine from the unpacked
# folder alone: the runtime DLLs in the zip are all they need.
# Usage: packaging/check-zip.sh build-windows/tagdesk-<version>-windows-x86_64.zip [WINE_RUN]
set -euo pipefail
zip="$(realpath "$1")"
wine_run="${2:+$(realpath "$2")}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
cmake -E tar xf "$zip"
unpacked="$scratch/$(basename "$zip" .zip)"

echo "-- files"
for file in bin/Reader.dll bin/tagdesk-cli.exe bin/libstdc++-6.dll include/Reader.h lib/Reader.lib lib/Reader.def \
  docs/README.md docs/protocol.md docs/tagdesk-cli.1; do
  [ -f "$unpacked/$file" ] || { echo "missing from the zip: $file" >&2; exit 1; }
done
(cd "$unpacked" && find . -type f | sort)

echo "-- exports"
declared="$(sed -n 's/^READER_EXPORT uint16_t READER_CALL \([A-Za-z]*\)(.*/\1/p' "$unpacked/include/Reader.h" | sort)"
exported="$(x86_64-w64-mingw32-objdump -p "$unpacked/bin/Reader.dll" \
  | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^\t\[ *[0-9]*\] //p' | sort)"
if [ "$declared" != "$exported" ]; then
  echo "Reader.dll does not export what Reader.h declares (< declared, > exported):" >&2
  diff <(echo "$declared") <(echo "$exported") >&2
  exit 1
fi
echo "$(echo "$exported" | wc -l) functions, those Reader.h declares"

echo "-- a C program against Reader.h and Reader.lib"
cat >probe.c <<'C'
#include "Reader.h"
#include <stdio.h>

/* No reader needed: these calls fail as Reader.h says, through the import library. */
int main(void)
{
    if (CloseReader(0) != READER_BAD_HANDLE || SelectStation(0) != READER_BAD_ARGUMENT)
        return 1;
    puts("Reader.dll answers as Reader.h says");
    return 0;
}
C
x86_64-w64-mingw32-gcc -std=c99 -Wall -Werror -I"$unpacked/include" probe.c "$unpacked/lib/Reader.lib" \
  -o "$unpacked/bin/probe.exe"

if [ -z "$wine_run" ]; then
  echo "-- not run: no Wine"
  exit 0
fi
echo "-- run from the unpacked folder alone, under Wine"
WINEPATH="" "$wine_run" "$unpacked/bin/probe.exe"
WINEPATH="" "$wine_run" "$unpacked/bin/tagdesk-cli.exe" --help >/dev/null
echo "tagdesk-cli.exe starts"
