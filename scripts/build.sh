#!/usr/bin/env bash
# Configures and builds the project into build/ (or $KV58_BUILD_DIR).
# Extra arguments are passed to the CMake configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV58_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${KV58_BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
cmake --build "$build"
