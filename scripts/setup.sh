#!/usr/bin/env bash
# Installs what Wavoss needs to build and test, when it is missing. Idempotent;
# run as root on Debian 12 (or with sudo available).
# Usage: setup.sh [base|linux32]
set -euo pipefail

# "base": what the native and sanitizer builds need; "linux32" adds the 32-bit
# libraries and qemu; with no argument also the Windows cross compilers, Wine
# and its display, clang, and the tools that build and check the packages
# (wixl and msitools for the Windows Installer package, dpkg-dev and lintian
# for the Debian one).
base=(
  g++ cmake ninja-build make libgtest-dev googletest libboost1.81-dev python3
  man-db groff-base xfsprogs btrfs-progs e2fsprogs espeak-ng sox
)
linux32=(g++-multilib qemu-user-static)
rest=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine64 xvfb imagemagick fonts-ipafont-gothic locales x11-utils
  clang-14 libclang-rt-14-dev zip unzip fonts-wine
  wixl msitools dpkg-dev file lintian bash-completion
)
packages=("${base[@]}")
[ "${1:-}" = base ] || packages+=("${linux32[@]}")
[ "${1:-}" = base ] || [ "${1:-}" = linux32 ] || packages+=("${rest[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  # Package lists fetched in the last hour serve (the test command installs
  # in two rounds).
  if ! find /var/lib/apt/lists -maxdepth 1 -name '*_Packages*' -mmin -60 2>/dev/null | grep -q .; then
    $SUDO apt-get update -qq
  fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A Japanese locale, so that Wine's ANSI code page is 932.
if [ -z "${1:-}" ] && ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  $SUDO sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
echo "setup: ready"
