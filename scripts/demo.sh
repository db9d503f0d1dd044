#!/usr/bin/env bash
# The product's main job: builds what is missing, packages a demo install
# directory around the demo main application with the reference bridge, sets
# the demo machine's registry values, and runs the launcher under Wine: on the
# user's display when there is one, else on a private Xvfb.
# Usage: scripts/demo.sh [BUILD_DIR]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/build}

bash "$source_dir/scripts/setup.sh"
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/toolchain-i686-mingw.cmake" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
# Without a display of the user's the demo runs on a private Xvfb: then nobody
# can press its buttons, so its programs end by themselves.
if [ -z "${DISPLAY:-}" ]; then
  export TARVEX_DEMO_HEADLESS=1
fi
exec "$source_dir/scripts/with-wine-env.sh" "$build_dir" bash "$source_dir/scripts/demo-run.sh" "$build_dir"
