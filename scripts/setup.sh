#!/usr/bin/env bash
# Installs everything the launcher's build and tests need on a fresh Debian machine.
# Idempotent: does nothing (and prints nothing) when all packages are present.
set -euo pipefail

# Both widths: the released i686 launcher and the x86-64 build that runs where
# no 32-bit code can (64-bit Wine). wine32 installs everywhere, even where it
# cannot run; scripts/legs.sh finds out.
packages=(
  cmake ninja-build g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb x11-utils xdotool imagemagick
  googletest fonts-wqy-microhei clang libclang-rt-14-dev
  python3 locales libssl-dev
)

# Prints the given packages that are not installed, one a line.
missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

mapfile -t missing < <(missing_packages "${packages[@]}")
# The machine may bring its own Node.js; Debian's npm is only needed when there is none.
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "setup.sh: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  echo "setup.sh: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Where 32-bit code cannot run, the i686 leg runs in a full-system emulator
# (scripts/i686-vm.sh): qemu, busybox for the guest's initramfs, depmod for its
# kernel's modules and mkfs.ext4 for its writable disk. The kernel itself is
# fetched and kept in the build tree by the script that boots it.
. "$(dirname "$0")/legs.sh"
quilo_i686_mode
if [ "$QUILO_I686_MODE" = emulated ]; then
  mapfile -t emulator_missing < <(missing_packages qemu-system-x86 busybox-static kmod e2fsprogs)
  if [ ${#emulator_missing[@]} -gt 0 ]; then
    if [ "$(id -u)" != 0 ]; then
      echo "setup.sh: the i686 leg's emulator needs these packages and installing them needs root: ${emulator_missing[*]}" >&2
      exit 1
    fi
    echo "setup.sh: installing ${emulator_missing[*]} (the i686 leg's emulator)"
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq --no-install-recommends "${emulator_missing[@]}" >/dev/null ||
      { apt-get update -qq && apt-get install -y -qq --no-install-recommends "${emulator_missing[@]}" >/dev/null; }
  fi
fi

# Scenarios start launchers under a Chinese and an English Unix locale: Wine
# takes a process's system locale, ANSI code page and file-name charset from
# them, and a locale that is not generated leaves non-ASCII paths unreadable.
for name in zh_CN en_US; do
  if ! locale -a 2>/dev/null | grep -qix "${name}.utf-\?8"; then
    if [ "$(id -u)" != 0 ]; then
      echo "setup.sh: the locale ${name}.UTF-8 is missing and generating it needs root" >&2
      exit 1
    fi
    localedef -i "$name" -c -f UTF-8 "${name}.UTF-8"
  fi
done
