#!/usr/bin/env bash
# Pictures of the desktop program's windows at 96 and 144 DPI. Wine reads its DPI from the
# registry when a program starts, so each run sets it in a prefix of its own first. Run
# under an X server (xvfb-run -a). Usage: screenshots.sh TESTS.exe OUT_DIR PREFIX
set -euo pipefail
tests=$1 out=$2
export WINEPREFIX=$3 WINEDEBUG=-all
wine=/usr/lib/wine
mkdir -p "$out" "$WINEPREFIX"
"$wine/wineserver" -p
trap '"$wine/wineserver" -k || true' EXIT
"$wine/wine64" wineboot > /dev/null 2>&1
# As scripts/windows-tests: windows go at once without a window manager.
"$wine/wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f > /dev/null
for dpi in 96 144; do
  "$wine/wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    > /dev/null
  RAVELIN_SCREENSHOT_DIR="$out" "$wine/wine64" "$tests" --gtest_filter='*Screenshot*:*ShowsItsMainWindow*'
done
ls -l "$out"
