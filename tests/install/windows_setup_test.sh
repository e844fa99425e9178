#!/bin/sh
# The installer in a throw-away wine prefix: a silent install for this user, the installed
# programs started from their new place, then a silent uninstall that
# leaves nothing of the program behind and keeps the user's ravelin.ini.
# Usage: windows_setup_test.sh SETUP.EXE (under an X server, like scripts/windows-tests)
set -eu
wine=/usr/lib/wine
setup=$(realpath "$1")
WINEPREFIX=$(mktemp -d)
# Without winemenubuilder: wine would copy the Start menu entry into this machine's menus.
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
trap '"$wine/wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
run() { timeout 120 "$wine/wine64" "$@"; }
# Waits until every process of the prefix has ended and the registry is on disk.
settle() { timeout 120 "$wine/wineserver" -w; }
regValue() { run reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p'; }

run wineboot > /dev/null 2>&1
users="$WINEPREFIX/drive_c/users/$(id -un)"
local="$users/AppData/Local" roaming="$users/AppData/Roaming"
place="$local/Programs/Ravelin"
run "$setup" /S
settle
[ -f "$place/ravelin-cli.exe" ] || fail "nothing installed in $place"
[ -f "$place/locale/de/LC_MESSAGES/ravelin.mo" ] || fail "no catalogues in $place"
run "$place/ravelin-cli.exe" --version | grep -q '^ravelin-cli [0-9]' || fail "ravelin-cli --version"
run reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ravelin' /v QuietUninstallString |
  grep -q 'uninstall.exe" /S' || fail "no uninstaller registered for the user"
if [ -f "$place/ravelin.exe" ]; then
  run "$place/ravelin.exe" --version | grep -q 'ravelin [0-9]' || fail "ravelin --version"
  [ -f "$roaming/Microsoft/Windows/Start Menu/Programs/Ravelin.lnk" ] || fail "no Start menu entry"
  [ "$(regValue 'HKCU\Software\Classes\.rvs')" = rvsfile ] || fail ".rvs is not associated"
  regValue 'HKCU\Software\Classes\rvsfile\shell\open\command' |
    grep -q 'Programs\\Ravelin\\ravelin.exe" "%1"$' || fail "scripts do not open with ravelin.exe"
  for verb in edit run; do
    regValue "HKCU\\Software\\Classes\\rvsfile\\shell\\$verb\\command" |
      grep -q "ravelin.exe\" --$verb \"%1\"\$" || fail "no $verb verb for scripts"
  done
fi

# The user's settings and logs survive a silent uninstall.
mkdir -p "$roaming/Ravelin" "$local/Ravelin/log"
echo '[general]' > "$roaming/Ravelin/ravelin.ini"
echo 'a line' > "$local/Ravelin/log/ravelin.log"
run "$place/uninstall.exe" /S
settle
[ -f "$roaming/Ravelin/ravelin.ini" ] && [ -f "$local/Ravelin/log/ravelin.log" ] ||
  fail "the silent uninstall took the user's settings or logs"
rm -rf "$roaming/Ravelin" "$local/Ravelin"
left=$(find "$WINEPREFIX/drive_c" -iname '*ravelin*' -o -iname '*.rvs')
[ -z "$left" ] || fail "left after the uninstall: $left"
! grep -Eiq 'ravelin|rvsfile|\\\.rvs' "$WINEPREFIX/user.reg" ||
  fail "left in the registry: $(grep -Ei 'ravelin|rvsfile|\\\.rvs' "$WINEPREFIX/user.reg")"
echo "installer: installed, run, uninstalled; nothing left"
