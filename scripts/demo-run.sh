#!/usr/bin/env bash
# Runs inside scripts/with-wine-env.sh: packages the demo install directory and starts the launcher.
set -euo pipefail
build_dir=$1
packager=$(grep -E '^QUILO_PACKAGER:' "$build_dir/CMakeCache.txt" | cut -d= -f2-)
bridge_dir="$build_dir/reference_bridge"
runtime="$build_dir/reference/reference_runtime.exe"
[ -f "$build_dir/demo/tarvex_demo_app.exe" ] && runtime="$build_dir/demo/tarvex_demo_app.exe"
install_dir="$build_dir/drive-d/Tarvex"

"$packager" --runtime "$runtime" --bridge-dir "$bridge_dir" --output "$install_dir" --force
cp "$build_dir/TarvexLauncher.exe" "$install_dir/"
# The demo machine has the .NET Framework 4.8.
wine reg add 'HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4\Full' /v Release /t REG_DWORD /d 528040 /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4\Full' /v Install /t REG_DWORD /d 1 /f >/dev/null 2>&1

echo "demo: install directory D:\\Tarvex ($install_dir)"
echo "demo: starting the launcher on display $DISPLAY"
wine 'D:\Tarvex\TarvexLauncher.exe' &
launcher=$!
sleep 5
shots="$build_dir/demo-screenshots"
mkdir -p "$shots"
if command -v import >/dev/null; then
  import -window root "$shots/screen.png" 2>/dev/null && echo "demo: screenshot saved to $shots/screen.png"
fi
wait "$launcher" || true
echo "demo: the launcher has ended"
