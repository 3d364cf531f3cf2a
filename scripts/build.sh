#!/usr/bin/env bash
# Configures and builds the project into build/ (or $KV58_BUILD_DIR).
# Extra arguments are passed to the CMake configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KV58_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${KV58_BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null

# Qt's meta-object compiler runs over the headers CMake listed when the build folder was first made;
# a header added later (by a pull or a merge) would be missed. Start the generated code afresh
# whenever the set of source files changed.
stamp="$build/.source-list"
current=$(cd "$root" && find src tests tools -name '*.h' -o -name '*.cpp' | sort | md5sum)
if [[ ! -f "$stamp" || "$(cat "$stamp")" != "$current" ]]; then
  find "$build" -maxdepth 4 -type d -name '*_autogen' -prune -exec rm -rf {} +
  echo "$current" >"$stamp"
fi
cmake --build "$build"
