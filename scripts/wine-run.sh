#!/usr/bin/env bash
# Runs one Windows program under Wine in its build tree's prefix. CMake uses it
# as the cross-compiling emulator, so ctest runs the test programs through it.
# Without a display it brings up a private Xvfb for the program and stops it after.
set -u
program="$1"
shift

if [ -z "${QUILO_BUILD_DIR:-}" ]; then
  dir=$(cd "$(dirname "$program")" && pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do
    dir=$(dirname "$dir")
  done
  [ -f "$dir/CMakeCache.txt" ] || { echo "wine-run: no build tree above $program" >&2; exit 2; }
  export QUILO_BUILD_DIR="$dir"
fi
. "$(dirname "$0")/wine-env.sh"
quilo_ensure_prefix
quilo_ensure_display || exit 2
output=$(mktemp)
cleanup() {
  cat "$output"
  rm -f "$output"
  quilo_stop_display
}
trap cleanup EXIT
# Wine's own service processes, started with the first program of a session,
# live on after it and inherit its output. Writing to a file rather than to
# the caller's pipe keeps ctest from waiting for them until its time-out.
wine "$program" "$@" >"$output" 2>&1 </dev/null
