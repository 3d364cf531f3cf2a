#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, and runs every test headless.
# Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
export KV58_BUILD_DIR=${KV58_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" -DKV58_WERROR=ON
export QT_QPA_PLATFORM=offscreen
cd "$KV58_BUILD_DIR"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
