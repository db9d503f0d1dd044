#!/usr/bin/env bash
# Runs a command (ctest, a demo) with the build tree's Wine prefix ready, one
# display for all of it (a private Xvfb when there is none) and one persistent
# wineserver, and takes all of them down afterwards.
# Usage: scripts/with-wine-env.sh BUILD_DIR COMMAND [ARGS...]
set -u
export QUILO_BUILD_DIR=$(cd "$1" && pwd)
shift
. "$(dirname "$0")/wine-env.sh"
quilo_ensure_prefix
quilo_ensure_display || exit 2
cleanup() {
  wineserver -k >/dev/null 2>&1
  quilo_stop_display
}
trap cleanup EXIT
wineserver -p 60 >/dev/null 2>&1
"$@"
