#!/usr/bin/env bash
# The product's main job: builds what is missing, packages a demo install
# directory around the demo main application with the reference bridge, sets
# the demo machine's registry values, and runs the launcher under Wine: on the
# user's display when there is one, else on a private Xvfb. It runs the
# released 32-bit launcher where the machine executes 32-bit code, else the
# x86-64 build of the same sources (QUILO_SKIP_I686=1 chooses that too), and
# says which.
# Usage: scripts/demo.sh [BUILD_DIR]   (default: build/i686 or build/x86_64)
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
. "$source_dir/scripts/legs.sh"

bash "$source_dir/scripts/setup.sh"
quilo_choose_width
build_dir=${1:-$source_dir/build/$QUILO_WIDTH}
echo "demo: running the $QUILO_WIDTH launcher: $QUILO_WIDTH_REASON"
quilo_build "$QUILO_WIDTH" "$build_dir"
# Without a display of the user's the demo runs on a private Xvfb: then nobody
# can press its buttons, so its programs end by themselves.
if [ -z "${DISPLAY:-}" ]; then
  export TARVEX_DEMO_HEADLESS=1
fi
exec "$source_dir/scripts/with-wine-env.sh" "$build_dir" bash "$source_dir/scripts/demo-run.sh" "$build_dir"
