#!/bin/sh
# ravelin-cli.exe under wine runs scripts as Windows editors save them: UTF-16 LE and UTF-8
# with a byte-order mark, and without a mark in the system's code page (an accented file
# name in Windows-1252); a UTF-16 ravelin.ini is written back in UTF-16.
# Usage: windows_text_test.sh WINE RAVELIN-CLI.EXE EXAMPLES-FOLDER
set -eu
wine=$1 cli=$2 examples=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$examples/sample.met" "$dir/café.met"
fail() { echo "FAIL: $*"; exit 1; }
utf16() { printf '\377\376'; printf "$1" | iconv -f UTF-8 -t UTF-16LE; }

printf '\357\273\277' > "$dir/utf8.rvs"
printf 'RefreshCustomMET[café.met]\r\nSaveCustomTXT[utf8.txt]\r\n' >> "$dir/utf8.rvs"
utf16 'RefreshCustomMET[café.met]\r\nSaveCustomTXT[utf16.txt]\r\n' > "$dir/utf16.rvs"
printf 'RefreshCustomMET[caf\351.met]\r\nSaveCustomTXT[ansi-\351.txt]\r\n' > "$dir/ansi.rvs"
utf16 '; Notepad\r\n[general]\r\nEDPath=C:\\Programme\\é\r\n' > "$dir/ravelin.ini"

for script in utf8 utf16 ansi; do
  (cd "$dir" && "$wine" "$cli" --ini ravelin.ini run "$script.rvs") || fail "$script.rvs"
done
for out in utf8.txt utf16.txt ansi-é.txt; do
  grep -Eq '^ +[1-9][0-9]* servers' "$dir/$out" || fail "no servers in $out"
done

[ "$(head -c 2 "$dir/ravelin.ini" | od -An -tx1 | tr -d ' ')" = fffe ] || fail "ini not UTF-16"
tail -c +3 "$dir/ravelin.ini" | iconv -f UTF-16LE -t UTF-8 > "$dir/ini.txt"
grep -q '^EDPath=C:\\Programme\\é' "$dir/ini.txt" || fail "ini lost its line: $(cat "$dir/ini.txt")"
grep -q '^History0=.*ansi.rvs' "$dir/ini.txt" || fail "no recent script: $(cat "$dir/ini.txt")"
echo "scripts in UTF-8, UTF-16 and Windows-1252 ran; ravelin.ini stayed UTF-16"
