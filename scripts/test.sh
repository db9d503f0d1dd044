#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs every test under Wine.
# Usage: scripts/test.sh [BUILD_DIR]   (default: build/ in the repository)
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/build}

bash "$source_dir/scripts/setup.sh"
cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/toolchain-i686-mingw.cmake" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
"$source_dir/scripts/with-wine-env.sh" "$build_dir" \
  ctest --test-dir "$build_dir" --output-on-failure --timeout 900
