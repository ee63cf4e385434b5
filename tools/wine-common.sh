# Sourced by the Wine scripts: the environment of the project's private
# Wine prefix, created once (under flock, so parallel tests are safe).
wine_prepare() {
  local state=$1
  mkdir -p "$state/home"
  state=$(cd "$state" && pwd)
  export WINEPREFIX="$state/prefix" HOME="$state/home" WINEDEBUG=-all WINEARCH=win64
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
  if [ -f "$state/display" ]; then export DISPLAY=$(cat "$state/display"); fi
  if [ ! -f "$WINEPREFIX/.vantrel-ready" ]; then
    (
      flock 9
      if [ ! -f "$WINEPREFIX/.vantrel-ready" ]; then
        wineboot -i </dev/null >/dev/null 2>&1
        wine regedit /S "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.reg" </dev/null >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.vantrel-ready"
      fi
    ) 9>"$state/prefix.lock"
  fi
}
