#!/usr/bin/env bash
# Runs inside scripts/with-wine-env.sh: packages the demo install directory,
# sets the demo machine's registry values and runs the launcher twice:
#   1. a clean start: the loader hands over to the demo main application;
#   2. the same product with a damaged data store: the loader window stays
#      visible with its message (and asks the browser for the software list).
# Screenshots of both are saved under BUILD_DIR/demo-screenshots.
# TARVEX_DEMO_HEADLESS=1 (set by scripts/demo.sh on Xvfb) makes every demo
# program end by itself, so the run finishes without anybody at the screen.
set -euo pipefail
build_dir=$1
packager=$(grep -E '^QUILO_PACKAGER:' "$build_dir/CMakeCache.txt" | cut -d= -f2-)
bridge_dir="$build_dir/reference_bridge"
runtime="$build_dir/reference/reference_runtime.exe"
demo_dir="$build_dir/demo"
headless=${TARVEX_DEMO_HEADLESS:-}
shots="$build_dir/demo-screenshots"
mkdir -p "$shots"
rm -f "$shots"/*.png

add=()
if [ -f "$demo_dir/tarvex_demo_app.exe" ]; then
  runtime="$demo_dir/tarvex_demo_app.exe"
  for named in orloupd.exe Pelko.exe; do
    [ -f "$demo_dir/named/$named" ] && add+=(--add "$demo_dir/named/$named")
  done
fi

# Packs an install directory at drive D: folder $1 (the store optionally damaged).
pack() {
  local dir="$build_dir/drive-d/$1"
  "$packager" --runtime "$runtime" --bridge-dir "$bridge_dir" "${add[@]}" --output "$dir" --force >/dev/null
  cp "$build_dir/TarvexLauncher.exe" "$dir/"
  rm -f "$dir/upd.tmp"
}

# Waits (bounded) for an X window whose name matches; prints its id.
wait_for_window() {
  local pattern=$1 seconds=$2 id
  for _ in $(seq $((seconds * 4))); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.25
  done
  return 1
}

# Saves the whole screen to $1 once the window has had time to paint.
screenshot() {
  sleep 1.5
  if command -v import >/dev/null && import -window root "$1" 2>/dev/null; then
    echo "demo: screenshot saved to $1"
  else
    echo "demo: could not save a screenshot to $1"
  fi
}

# Waits for a background process, at most $2 seconds; ends it after that.
wait_bounded() {
  local pid=$1 seconds=$2
  for _ in $(seq $((seconds * 4))); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
    sleep 0.25
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  return 1
}

pack Tarvex
pack "Tarvex damaged"
printf 'this is not the data store' >"$build_dir/drive-d/Tarvex damaged/Quilord.da"

# The demo machine has the .NET Framework 4.8.
wine reg add 'HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4\Full' /v Release /t REG_DWORD /d 528040 /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4\Full' /v Install /t REG_DWORD /d 1 /f >/dev/null 2>&1

# Chinese fonts for the loader window are linked when the prefix is made (scripts/wine-env.sh).

if [ -n "$headless" ]; then
  export TARVEX_DEMO_AUTOCLOSE_SECONDS=6
fi

echo "demo: install directory D:\\Tarvex ($build_dir/drive-d/Tarvex)"
echo "demo: starting the launcher on display $DISPLAY"
[ -z "$headless" ] && echo "demo: end the demo main application with one of its buttons to go on"
wine 'D:\Tarvex\TarvexLauncher.exe' &
launcher=$!
if wait_for_window 'Tarvex 发票' 90 >/dev/null; then
  echo "demo: the launcher handed over to the demo main application"
  screenshot "$shots/main-application.png"
else
  echo "demo: the demo main application did not appear within 90 s" >&2
  screenshot "$shots/main-application-missing.png"
fi
if [ -n "$headless" ]; then
  wait_bounded "$launcher" 60 || echo "demo: the launcher did not end by itself; it was stopped" >&2
else
  wait "$launcher" || true
fi
echo "demo: the launcher has ended"

echo "demo: starting the launcher again in D:\\Tarvex damaged (a damaged data store)"
[ -z "$headless" ] && echo "demo: close the loader window with its ✕ button to finish"
wine 'D:\Tarvex damaged\TarvexLauncher.exe' &
launcher=$!
if wait_for_window '^Tarvex$' 60 >/dev/null; then
  echo "demo: the loader window shows the data store message"
  screenshot "$shots/loader-window.png"
else
  echo "demo: the loader window did not appear within 60 s" >&2
  screenshot "$shots/loader-window-missing.png"
fi
if [ -n "$headless" ]; then
  kill "$launcher" 2>/dev/null || true
  wait "$launcher" 2>/dev/null || true
else
  wait "$launcher" || true
fi
echo "demo: screenshots are in $shots"
