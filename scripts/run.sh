#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program with one virtual KV58 (kv58-sim) on the
# virtual bus. The simulator leaves the bus when the program ends. Set KV58_NO_SIM=1 to start the
# program alone (with real instruments only).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build=${KV58_BUILD_DIR:-$root/build}

sim_pid=""
stop_sim() {
  if [[ -n "$sim_pid" ]] && kill -0 "$sim_pid" 2>/dev/null; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
}
trap stop_sim EXIT

if [[ -z "${KV58_NO_SIM:-}" ]]; then
  # Program and simulator find the same bus folder from the same environment.
  "$build/bin/kv58-sim" </dev/null &
  sim_pid=$!
  sleep 0.3
fi

"$build/bin/kv58" "$@"
