#!/usr/bin/env bash
# Installs everything the launcher's build and tests need on a fresh Debian machine.
# Idempotent: does nothing (and prints nothing) when all packages are present.
set -euo pipefail

packages=(
  cmake ninja-build g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386 xvfb x11-utils xdotool imagemagick
  googletest fonts-wqy-microhei clang libclang-rt-14-dev
  python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
# The machine may bring its own Node.js; Debian's npm is only needed when there is none.
command -v npm >/dev/null 2>&1 || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

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
