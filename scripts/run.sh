#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build=${KV58_BUILD_DIR:-$root/build}
if [[ ! -x "$build/bin/kv58" ]]; then
  echo "run: the program's main window does not exist yet; the build finished."
  exit 0
fi
exec "$build/bin/kv58" "$@"
