#!/usr/bin/env bash
# Screenshots every window's skin of the default skin set through the skin
# viewer (build/windows/demos/skin_viewer.exe) into build/windows/skin-shots/.
# Usage: tools/skin-shots.sh [BUILD_DIR]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/windows}
cmake --build "$build" --target skin_viewer wine_keepalive vantrel_skins lang >/dev/null
state=$build/wine-shots
out=$build/skin-shots
mkdir -p "$out"
tools/wine-env.sh start "$state" "$build/tests/wine_keepalive.exe" >/dev/null
trap 'tools/wine-env.sh stop "$state" >/dev/null' EXIT
source tools/wine-common.sh
wine_prepare "$state"
for ini in "$build"/dist/Skins/*.ini; do
  name=$(basename "$ini" .ini)
  wine "$build/demos/skin_viewer.exe" "Skins\\$name.ini" 1500 </dev/null >/dev/null 2>&1 &
  sleep 1
  /usr/bin/import -display "$DISPLAY" -window root "$out/$name.png"
  wait
  echo "$out/$name.png"
done
