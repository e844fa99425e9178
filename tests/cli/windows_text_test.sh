#!/bin/sh
# ravelin-cli.exe under wine runs scripts as Windows editors save them (UTF-16 LE, and
# Windows-1252 naming café.met) and writes a UTF-16 ravelin.ini back in UTF-16.
# Usage: windows_text_test.sh WINE RAVELIN-CLI.EXE EXAMPLES-FOLDER
set -eu
wine=$1 cli=$2 dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$3/sample.met" "$dir/café.met"
fail() { echo "FAIL: $*"; exit 1; }
utf16() { printf '\377\376'; printf "$1" | iconv -f UTF-8 -t UTF-16LE; }
utf16 'RefreshCustomMET[café.met]\r\nSaveCustomTXT[utf16.txt]\r\n' > "$dir/utf16.rvs"
printf 'RefreshCustomMET[caf\351.met]\r\nSaveCustomTXT[ansi.txt]\r\n' > "$dir/ansi.rvs"
utf16 '[general]\r\nEDPath=C:\\Programme\\é\r\n' > "$dir/ravelin.ini"
for script in utf16 ansi; do
  (cd "$dir" && "$wine" "$cli" --ini ravelin.ini run "$script.rvs") || fail "$script.rvs"
  grep -Eq '^ +[1-9][0-9]* servers' "$dir/$script.txt" || fail "no servers in $script.txt"
done
[ "$(od -An -tx1 -N2 "$dir/ravelin.ini" | tr -d ' ')" = fffe ] || fail "ravelin.ini not UTF-16"
ini=$(tail -c +3 "$dir/ravelin.ini" | iconv -f UTF-16LE -t UTF-8)
printf "%s\n" "$ini" | grep -q '^EDPath=C:\\Programme\\é' || fail "ravelin.ini lost a line: $ini"
printf "%s\n" "$ini" | grep -q '^History0=.*ansi.rvs' || fail "no recent script in ravelin.ini: $ini"
