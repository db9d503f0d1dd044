# Sourced by the scripts that run Windows programs: the build tree's own Wine
# prefix, quiet, without the Mono and Gecko installers, 32-bit or 64-bit after
# the build tree's width (QUILO_WINE_ARCH in its CMake cache; the environment
# variable of that name overrides it, for 32-bit programs in a 64-bit prefix).
# Expects QUILO_BUILD_DIR to name the build tree.
if [ -z "${QUILO_WINE_ARCH:-}" ]; then
  QUILO_WINE_ARCH=$(sed -n 's/^QUILO_WINE_ARCH:[A-Z]*=//p' "$QUILO_BUILD_DIR/CMakeCache.txt" 2>/dev/null)
fi
export QUILO_WINE_ARCH="${QUILO_WINE_ARCH:-win32}"
export WINEARCH=$QUILO_WINE_ARCH
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$WINEARCH" = win64 ]; then
  export WINEPREFIX="${QUILO_WINEPREFIX:-$QUILO_BUILD_DIR/wineprefix64}"
  # Debian's wine, wineboot, winepath and wineserver commands choose the 32-bit
  # loader whenever wine32 is installed, even on a machine that cannot execute
  # it. A 64-bit prefix is run by the 64-bit loader and server directly; the
  # loader hands 32-bit programs to its 32-bit sibling where that can run.
  export WINELOADER=/usr/lib/wine/wine64
  export WINESERVER=/usr/lib/wine/wineserver64
  wine() { "$WINELOADER" "$@"; }
  wineboot() { "$WINELOADER" wineboot "$@"; }
  winepath() { "$WINELOADER" winepath "$@"; }
  wineserver() { "$WINESERVER" "$@"; }
  export -f wine wineboot winepath wineserver
  export QUILO_WINE_LOADER=$WINELOADER
else
  export WINEPREFIX="${QUILO_WINEPREFIX:-$QUILO_BUILD_DIR/wineprefix}"
  export QUILO_WINE_LOADER=wine
fi
# QUILO_WINE_LOADER: the loader for test programs that start a Unix command
# through Wine (a launcher under another Unix locale).

# Creates the prefix once; concurrent callers wait for the first one.
quilo_ensure_prefix() {
  mkdir -p "$QUILO_BUILD_DIR"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.quilo-ready" ]; then
      local started=$SECONDS
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
      echo "wine-env: made the $WINEARCH prefix $WINEPREFIX in $((SECONDS - started)) s" >&2
    fi
    # A separate marker, so that prefixes made before this step get it too.
    if [ ! -f "$WINEPREFIX/.quilo-cjk-fonts-1" ]; then
      quilo_link_cjk_fonts && touch "$WINEPREFIX/.quilo-cjk-fonts-1"
    fi
  ) 9>"$QUILO_BUILD_DIR/.wineprefix.lock"
}

# The launcher names Windows' Chinese faces ("楷体", "SimHei", and "MS Shell Dlg",
# which Wine maps to Tahoma); none exists in a fresh prefix, so Chinese texts
# would show as boxes. The installed WenQuanYi face stands in for the Chinese
# faces, and is linked behind the dialog faces for the glyphs they lack.
quilo_link_cjk_fonts() {
  local reg_file
  reg_file=$(mktemp --suffix=.reg)
  python3 - "$reg_file" <<'PYTHON' || return 1
import sys

FACE = "WenQuanYi Micro Hei"
LINK = ["wqy-microhei.ttc," + FACE]
REPLACED = ["SimSun", "宋体", "NSimSun", "新宋体", "SimHei", "黑体", "KaiTi", "楷体", "Microsoft YaHei", "微软雅黑"]
LINKED = ["Tahoma", "Microsoft Sans Serif", "MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2"]


def multi_string(values):
    data = "".join(v + "\0" for v in values) + "\0"
    return "hex(7):" + ",".join(f"{b:02x}" for b in data.encode("utf-16-le"))


lines = ["Windows Registry Editor Version 5.00", ""]
lines.append("[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]")
lines += [f'"{name}"="{FACE}"' for name in REPLACED]
lines.append("")
lines.append("[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]")
lines += [f'"{name}"={multi_string(LINK)}' for name in LINKED]
lines.append("")
with open(sys.argv[1], "w", encoding="utf-16") as out:
    out.write("\r\n".join(lines))
PYTHON
  local status=0
  DISPLAY= wine regedit /S "$(winepath -w "$reg_file" 2>/dev/null)" >/dev/null 2>&1 || status=1
  wineserver -w
  rm -f "$reg_file"
  return $status
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
