# Sourced by the scripts that run Windows programs: the build tree's own Wine
# prefix, quiet, 32-bit only, without the Mono and Gecko installers.
# Expects QUILO_BUILD_DIR to name the build tree.
export WINEPREFIX="${QUILO_WINEPREFIX:-$QUILO_BUILD_DIR/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="

# Creates the prefix once; concurrent callers wait for the first one.
quilo_ensure_prefix() {
  mkdir -p "$QUILO_BUILD_DIR"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.quilo-ready" ]; then
      rm -rf "$WINEPREFIX"
      DISPLAY= wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      # D: is a folder of the build tree, so that scenarios can lay out install
      # directories away from the system drive.
      # E: is another such folder, for launchers that sit at a drive root.
      mkdir -p "$QUILO_BUILD_DIR/drive-d" "$QUILO_BUILD_DIR/drive-e"
      ln -sfn "$QUILO_BUILD_DIR/drive-d" "$WINEPREFIX/dosdevices/d:"
      ln -sfn "$QUILO_BUILD_DIR/drive-e" "$WINEPREFIX/dosdevices/e:"
      touch "$WINEPREFIX/.quilo-ready"
    fi
  ) 9>"$QUILO_BUILD_DIR/.wineprefix.lock"
}

# Starts a private Xvfb when there is no display; sets QUILO_XVFB_PID.
quilo_ensure_display() {
  QUILO_XVFB_PID=
  if [ -n "${DISPLAY:-}" ]; then
    return 0
  fi
  local fifo_dir display_number
  fifo_dir=$(mktemp -d)
  mkfifo "$fifo_dir/fd"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo_dir/fd" >/dev/null 2>&1 &
  QUILO_XVFB_PID=$!
  if ! read -r -t 20 display_number <"$fifo_dir/fd"; then
    echo "wine-env: Xvfb did not start" >&2
    kill "$QUILO_XVFB_PID" 2>/dev/null
    rm -rf "$fifo_dir"
    return 1
  fi
  rm -rf "$fifo_dir"
  export DISPLAY=":$display_number"
}

quilo_stop_display() {
  if [ -n "${QUILO_XVFB_PID:-}" ]; then
    kill "$QUILO_XVFB_PID" 2>/dev/null
    wait "$QUILO_XVFB_PID" 2>/dev/null
    QUILO_XVFB_PID=
  fi
}
