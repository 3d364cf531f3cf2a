#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors, and runs every test headless.
# Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
export KV58_BUILD_DIR=${KV58_BUILD_DIR:-$root/build}
"$root/scripts/build.sh" -DKV58_WERROR=ON
export QT_QPA_PLATFORM=offscreen

# The link layer's threads under ThreadSanitizer first; only its tests are built there.
tsan_build=${KV58_TSAN_BUILD_DIR:-$root/build-tsan}
cmake -S "$root" -B "$tsan_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV58_TSAN=ON \
  -DKV58_WERROR=ON -DKV58_BUILD_BENCH=OFF >/dev/null
cmake --build "$tsan_build" --target tests_link
(cd "$tsan_build" && ctest -L link --output-on-failure --timeout 300)

# Every test; its summary closes the run.
cd "$KV58_BUILD_DIR"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
