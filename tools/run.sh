#!/usr/bin/env bash
# Builds the Windows preset's program and starts Tevrin.exe from
# build/windows/dist under Wine (its own prefix in build/windows/wine-run);
# Tevrin.exe launches the companion monitor itself.
# - With a display ($DISPLAY set): runs until the user closes the window.
# - Without one: a private Xvfb, waits for the main window, saves
#   build/windows/screenshot.png, then stops Wine and Xvfb.
# VANTREL_DATA_DIR (a Windows path) keeps the settings elsewhere than the
# prefix's per-user folder.
set -eu
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
[ "${1:-}" = "--no-setup" ] || tools/setup.sh
build=build/windows
state=$build/wine-run

[ -f "$build/CMakeCache.txt" ] || cmake --preset windows >/dev/null
targets="Tevrin wine_keepalive"
cmake --build "$build" --target help | grep -q '^\.\.\. Pelox\b' && targets="$targets Pelox"
cmake --build "$build" --target $targets -j2

exe="$build/dist/Tevrin.exe"
source tools/wine-common.sh

if [ -n "${DISPLAY:-}" ]; then
  wine_prepare "$state"
  exec wine "$exe"
fi

trap 'tools/wine-env.sh stop "$state"' EXIT
tools/wine-env.sh start "$state" "$build/tests/wine_keepalive.exe"
wine_prepare "$state"
wine "$exe" </dev/null >/dev/null 2>&1 &

found=
for _ in $(seq 600); do
  found=$(xdotool search --name '^Vantrel$' 2>/dev/null | head -n1 || true)
  [ -n "$found" ] && break
  sleep 0.05
done
[ -n "$found" ] || { echo "the main window did not appear" >&2; exit 1; }
sleep 1  # let the window and its pages paint
shot=$build/screenshot.png
/usr/bin/import -display "$DISPLAY" -window root "$shot"
echo "main window shown; screenshot saved to $shot"
