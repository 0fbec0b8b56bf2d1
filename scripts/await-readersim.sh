# shellcheck shell=bash
# Sourced by the scripts that start a readersim in the background.
# await_readersim OUT ERR PID: waits up to 5 s for the "ready" line readersim
# writes to OUT, then prints the TCP port it listens on. If it ends or stays
# silent, shows what it wrote to ERR and fails.
await_readersim() {
  local out="$1" err="$2" pid="$3"
  for _ in $(seq 50); do
    grep -qx ready "$out" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if ! grep -qx ready "$out" 2>/dev/null; then
    cat "$err" >&2
    echo "The virtual reader did not start." >&2
    return 1
  fi
  sed -n 's/^tcp .*:\([0-9]*\)$/\1/p' "$out"
}
