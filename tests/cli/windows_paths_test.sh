#!/bin/sh
# ravelin-cli.exe under wine reads a MET list and writes it as text, its files named the
# Windows way (drive and backslashes), with forward slashes, as plain Unix paths (wine's
# drive Z: is the root), and relative to the working folder with either separator.
# Usage: windows_paths_test.sh WINE RAVELIN-CLI.EXE EXAMPLES-FOLDER
set -eu
wine=$1 cli=$2 examples=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/in dir"
cp "$examples/sample.met" "$dir/in dir/in.met"

windows() { printf 'Z:%s' "$1" | tr / '\\'; }
run() { (cd "$dir" && "$wine" "$cli" -e "RefreshCustomMET[$1]" -e "SaveCustomTXT[$2]"); }

run "$(windows "$dir/in dir/in.met")" "$(windows "$dir/windows.txt")"
run "Z:$dir/in dir/in.met" "Z:$dir/forward.txt"
run "$dir/in dir/in.met" "$dir/unix.txt"
run 'in dir\in.met' 'relative.txt'
run 'in dir/in.met' 'in dir\relative.txt'

grep -Eq '^ +[1-9][0-9]* servers' "$dir/windows.txt" || { echo "FAIL: no servers written"; exit 1; }
for out in forward.txt unix.txt relative.txt "in dir/relative.txt"; do
  cmp "$dir/windows.txt" "$dir/$out" || { echo "FAIL: $out"; exit 1; }
done
echo "all five path forms read and wrote the same list"
