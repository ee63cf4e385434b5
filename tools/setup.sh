#!/usr/bin/env bash
# Installs what the build and the tests need from Debian's packages.
# Quiet when everything is there already.
set -eu
pkgs=(cmake ninja-build g++ clang clang-format libclang-rt-14-dev googletest
      g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 wine
      xvfb xauth fonts-liberation xdotool imagemagick libfreetype-dev nsis zip python3-pil)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
