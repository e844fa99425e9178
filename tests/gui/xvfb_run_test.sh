#!/usr/bin/env bash
# Runs the desktop program under a virtual X server on a script that ends with CloseUtils
# and checks that it closes by itself with status 0 after writing its file.
# Usage: xvfb_run_test.sh RAVELIN_BINARY SAMPLE_MET
set -euo pipefail
binary=$1
sample=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program looks at the desktop's MIME settings at its start: never the real home's.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
cat > "$work/ravelin.ini" <<INI
[general]
EDPath=$work/
LOG=1
NoRegCheck=1
[script]
ScrExecOrEdit=1
INI
cat > "$work/job.rvs" <<RVS
RefreshCustomMET[$sample]
Filter[Users>1000]
SaveCustomTXT[$work/servers.txt]
CloseUtils
RVS
status=0
timeout 90 xvfb-run -a "$binary" --ini "$work/ravelin.ini" "$work/job.rvs" || status=$?
if [ "$status" -ne 0 ]; then
  echo "ravelin exited with status $status"
  exit 1
fi
if [ ! -s "$work/servers.txt" ]; then
  echo "servers.txt was not written"
  exit 1
fi
grep -q "Closing Ravelin" "$work"/log/*.log || { echo "no 'Closing Ravelin' in the log"; exit 1; }
grep -q "Main window and application closed" "$work"/log/*.log || { echo "no close line"; exit 1; }
echo "ravelin ran the script and closed with status 0"
