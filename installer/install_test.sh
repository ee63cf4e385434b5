#!/usr/bin/env bash
# Installs the setup program silently into a fresh Wine prefix, checks the
# files, the Start-menu shortcut and the uninstall entry, starts the installed
# program and waits for its window, uninstalls silently and checks that the
# program is gone while the user's data folder stays.
# Usage: install_test.sh SETUP_EXE STATE_DIR KEEPALIVE_EXE
set -u
setup=$1; state=$2; keepalive=$3
tools=$(cd "$(dirname "$0")/../tools" && pwd)
fail() { echo "FAIL: $*"; "$tools/wine-env.sh" stop "$state" >/dev/null; exit 1; }
ok() { echo "ok: $*"; }

[ -f "$setup" ] || { echo "FAIL: no setup program at $setup"; exit 1; }
rm -rf "$state"
"$tools/wine-env.sh" start "$state" "$keepalive" >/dev/null || fail "wine environment"
source "$tools/wine-common.sh"
wine_prepare "$state"
trap '"$tools/wine-env.sh" stop "$state" >/dev/null' EXIT

appdata=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
data=$(winepath -u "$appdata\\Vantrel" 2>/dev/null)
mkdir -p "$data" && printf '[Setting]\r\nCurrentProfile=2\r\n' >"$data/config.ini"
progdir_win='C:\Program Files\Vantrel'
progdir=$(winepath -u "$progdir_win" 2>/dev/null)
menu=$(winepath -u 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Vantrel' 2>/dev/null)
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel'

t0=$(date +%s)
wine "$setup" /S </dev/null >/dev/null 2>&1 || fail "setup exit code"
for f in Tevrin.exe lang.dll Skins/skin_Config.ini Uninstall.exe; do
  [ -f "$progdir/$f" ] || fail "installed file $f missing"
done
[ ! -e "$progdir/Pelox.exe" ] || fail "the simulator is installed although it is off by default"
ok "files installed in $progdir_win"
[ -f "$menu/Vantrel.lnk" ] || fail "Start-menu shortcut missing"
ok "Start-menu shortcut"
entry=$(wine reg query "$key" 2>/dev/null | tr -d '\r')
for want in "DisplayName.*Vantrel" "DisplayVersion.*[0-9]+\.[0-9]+\.[0-9]+" "Publisher.*Vantrel" \
            "DisplayIcon.*Tevrin.exe" "UninstallString.*Uninstall.exe"; do
  echo "$entry" | grep -Eq "$want" || fail "uninstall entry lacks $want"
done
ok "uninstall entry"

wine "$progdir_win\\Tevrin.exe" </dev/null >/dev/null 2>&1 &
app=$!
seen=0
for _ in $(seq 300); do
  if xdotool search --onlyvisible --name '^Vantrel$' >/dev/null 2>&1; then seen=1; break; fi
  sleep 0.05
done
kill $app 2>/dev/null; wait $app 2>/dev/null
[ $seen -eq 1 ] || fail "the installed program showed no window"
ok "installed program shows its window"

wine "$progdir_win\\Uninstall.exe" /S </dev/null >/dev/null 2>&1
for _ in $(seq 300); do [ -e "$progdir/Tevrin.exe" ] || break; sleep 0.1; done
for _ in $(seq 100); do [ -e "$progdir" ] || break; sleep 0.1; done
# The uninstaller runs from a copy of itself and may still be removing the
# shortcut when the program folder has gone.
for _ in $(seq 100); do [ -e "$menu/Vantrel.lnk" ] || break; sleep 0.1; done
[ ! -e "$progdir/Tevrin.exe" ] || fail "program still installed after uninstall"
[ ! -e "$progdir/Skins" ] || fail "skins left behind"
[ ! -e "$menu/Vantrel.lnk" ] || fail "shortcut left behind"
wine reg query "$key" >/dev/null 2>&1 && fail "uninstall entry left behind"
grep -q CurrentProfile=2 "$data/config.ini" || fail "uninstall touched the data folder"
ok "uninstalled; data folder kept"
echo "install test took $(( $(date +%s) - t0 )) s"
echo "1 passed, 0 failed"
