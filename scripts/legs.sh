# Sourced by the scripts that build and run the launcher: which widths this
# machine can run. The release is the 32-bit (i686) launcher; the x86-64 build
# of the same sources runs everywhere, the i686 one only where the machine can
# execute 32-bit x86 code, which is found out by running a 32-bit program:
# Wine's own 32-bit loader (some kernels have IA-32 emulation turned off).
# QUILO_SKIP_I686=1 leaves the i686 leg out on purpose.

# Returns 0 when the i686 leg can run; otherwise sets QUILO_I686_LEFT_OUT to why not.
quilo_can_run_i686() {
  QUILO_I686_LEFT_OUT=
  if [ -n "${QUILO_SKIP_I686:-}" ] && [ "$QUILO_SKIP_I686" != 0 ]; then
    QUILO_I686_LEFT_OUT="left out on purpose (QUILO_SKIP_I686=$QUILO_SKIP_I686)"
    return 1
  fi
  local loader=/usr/lib/wine/wine output
  if [ ! -x "$loader" ]; then
    QUILO_I686_LEFT_OUT="Wine's 32-bit loader $loader is not installed (package wine32:i386)"
    return 1
  fi
  if output=$("$loader" --version 2>&1); then
    return 0
  fi
  QUILO_I686_LEFT_OUT="this machine cannot execute 32-bit x86 code ($loader --version: ${output##*: })"
  return 1
}

# How the i686 leg runs here. Sets QUILO_I686_MODE to "native" (the machine
# executes 32-bit code), "emulated" (it cannot: the leg runs in the full-system
# emulator of scripts/i686-vm.sh) or "left-out" (QUILO_SKIP_I686 alone does that),
# and QUILO_I686_REASON to why.
quilo_i686_mode() {
  if quilo_can_run_i686; then
    QUILO_I686_MODE=native
    QUILO_I686_REASON="this machine executes 32-bit x86 code"
  elif [ -n "${QUILO_SKIP_I686:-}" ] && [ "$QUILO_SKIP_I686" != 0 ]; then
    QUILO_I686_MODE=left-out
    QUILO_I686_REASON=$QUILO_I686_LEFT_OUT
  else
    QUILO_I686_MODE=emulated
    QUILO_I686_REASON="run in a full-system emulator: $QUILO_I686_LEFT_OUT"
  fi
}

# Configures and builds one width into BUILD_DIR. Usage: quilo_build WIDTH BUILD_DIR [CMAKE_ARGS...]
quilo_build() {
  local width=$1 build_dir=$2
  shift 2
  cmake -S "$quilo_source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$quilo_source_dir/cmake/toolchain-$width-mingw.cmake" "$@" >/dev/null &&
    cmake --build "$build_dir" -j "$(nproc)"
}
quilo_source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The width to run the product with here: the released i686 launcher where the
# machine executes 32-bit code, else the x86-64 build. Sets QUILO_WIDTH and
# QUILO_WIDTH_REASON.
quilo_choose_width() {
  if quilo_can_run_i686; then
    QUILO_WIDTH=i686
    QUILO_WIDTH_REASON="the released 32-bit launcher"
  else
    QUILO_WIDTH=x86_64
    QUILO_WIDTH_REASON="the x86-64 build of the same sources; the 32-bit launcher is left out: $QUILO_I686_LEFT_OUT"
  fi
}

# The width of an existing build tree (i686 or x86_64), from its CMake cache.
quilo_width_of() {
  if grep -q '^QUILO_WINE_ARCH:[A-Z]*=win64' "$1/CMakeCache.txt" 2>/dev/null; then
    echo x86_64
  else
    echo i686
  fi
}
