#!/usr/bin/env bash
# tagdesk-cli.exe under Wine and tagdesk-cli on Linux against one readersim:
# the same profile read, written and verified from either side, over TCP and
# over the serial port (Wine's COM1 leads to readersim's pseudo-terminal), a
# USB port named by READER_USB, a silent reader, and tagdesk-cli.exe monitor
# as the server of a readersim reading tags in client mode.
#
#   cli-under-wine.sh WINE_RUN TAGDESK_CLI_EXE READERSIM TAGDESK_CLI COM1_LINK
#
# WINE_RUN runs a Windows program (the build's wine-run.sh); COM1_LINK is the
# path Wine's COM1 leads to, made a link to readersim's pseudo-terminal here.
set -uo pipefail
wine_run=$1 cli_exe=$2 readersim=$3 cli=$4 com1=$5
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=scripts/await-readersim.sh
. "$here/../../scripts/await-readersim.sh"

work="$(mktemp -d "${TMPDIR:-/tmp}/tagdesk-wine.XXXXXX")"
sims=()
cleanup() {
  for pid in "${sims[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
cd "$work" || exit 1

# start_reader NAME OPTION...: a readersim, stopped at the end; its TCP port in tcp_port.
start_reader() {
  local name=$1
  shift
  "$readersim" --tcp 127.0.0.1:0 "$@" >"$name.out" 2>"$name.err" &
  sims+=($!)
  tcp_port="$(await_readersim "$name.out" "$name.err" "$!")"
}

windows() { "$wine_run" "$cli_exe" "$@"; }
linux() { "$cli" "$@"; }

passed=0 failed=0
# tally OUTCOME WHAT: counts one check, "ok" or why it failed (then shows the output).
tally() {
  if [ "$1" = ok ]; then
    passed=$((passed + 1))
    echo "ok: $2"
  else
    failed=$((failed + 1))
    echo "FAILED: $2 ($1)"
    cat last.txt last.err
  fi
}
# check WHAT STATUS COMMAND...: runs COMMAND (its output in last.txt without
# Windows' line ends, and last.err), which must end with STATUS.
check() {
  local what=$1 want=$2
  shift 2
  "$@" >last.out 2>last.err
  local got=$?
  tr -d '\r' <last.out >last.txt
  [ "$got" -eq "$want" ] && tally ok "$what" || tally "exit status $got, not $want" "$what"
}
# says WHAT TEXT: the last command printed TEXT.
says() {
  grep -qF -- "$2" last.txt last.err && tally ok "$1" || tally "no \"$2\" in its output" "$1"
}

start_reader reader --pty-link "$com1" --state reader.mem || exit 1
tcp="tcp:127.0.0.1:$tcp_port"

check "Windows reads the reader over TCP" 0 windows read --port "$tcp" --output windows.toml
check "Linux reads the same reader" 0 linux read --port "$tcp" --output linux.toml
check "both profiles are the same bytes" 0 cmp windows.toml linux.toml

sed -e 's/^channel1_power = .*/channel1_power = "27.5"/' -e 's/^offline_function = .*/offline_function = true/' \
  -e 's/^timer_interval = .*/timer_interval = 25/' linux.toml >site.toml
check "Windows writes a profile over the serial port, read back" 0 windows write site.toml --port COM1 --verify
check "Linux finds it in the reader" 0 linux verify site.toml --port "$tcp"
check "Windows sees the reader differ from the first profile" 1 windows verify linux.toml --port "$tcp"
says "and names the value" "channel1_power: profile \"30\", reader \"27.5\""
check "Linux writes the first profile back" 0 linux write linux.toml --port "$tcp"
check "Windows finds it over the serial port" 0 windows verify linux.toml --port COM1
check "Windows reads again over the serial port, replacing its profile" 0 windows read --port COM1 --output windows.toml
check "it holds what the reader holds" 0 linux diff windows.toml linux.toml
check "Windows writes a profile to the null device, in place" 0 windows read --port "$tcp" --output NUL
check "and leaves no file behind" 0 test -z "$(ls -A | grep -i '^\.\?nul')"
check "Windows reads the USB port READER_USB names" 0 env READER_USB=COM1 "$wine_run" "$cli_exe" read --port usb --output usb.toml
check "Windows finds no USB serial port under Wine" 1 windows read --port usb
says "and says so" "the port could not be opened"
check "Windows compares two profiles" 1 windows diff linux.toml site.toml
says "and lists the difference" "reader.timer_interval: 10 (linux.toml) -> 25 (site.toml)"
windows write --help | tr -d '\r' >windows-help.txt
linux write --help >linux-help.txt
check "the help is the same on both" 0 cmp windows-help.txt linux-help.txt

start_reader silent --no-pty --silent || exit 1
check "Windows gives up on a silent reader" 1 windows read --port "tcp:127.0.0.1:$tcp_port"
says "and says why" "no answer from the reader"

# A reader of two tags in timing mode, in client mode with Windows' monitor as
# its server: written so from Linux, then started again, as a reader powered up
# reads as its memory says.
printf '%s\n' 'E2006816123456789ABCDEF0 * 5' '300833B2DDD9014000000001 * 5' >tags.txt
server=$((20000 + RANDOM % 20000))
start_reader tags --no-pty --tags tags.txt --state tags.mem || exit 1
printf '%s\n' 'format = 1' '[reader]' 'work_mode = "timing"' '[communication_port]' 'connection_mode = "client"' \
  'server_ip_address = "127.0.0.1"' "server_port = $server" '[frame_format]' 'output_ports = ["tcp_ip"]' >client.toml
check "Linux puts the reader in timing and client mode" 0 linux write client.toml --port "tcp:127.0.0.1:$tcp_port"
kill "${sims[-1]}" && wait "${sims[-1]}"
start_reader tags --no-pty --tags tags.txt --state tags.mem || exit 1
check "Windows monitor hears the reader's tags as its server" 0 \
  windows monitor --listen "tcp:127.0.0.1:$server" --format-from-reader="tcp:127.0.0.1:$tcp_port" --duration 8 --summary
says "the first tag" "E2006816123456789ABCDEF0"
says "and the second" "300833B2DDD9014000000001"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
