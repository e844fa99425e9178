#!/usr/bin/env bash
# Installs the build into a throw-away prefix and checks what the desktop and man read from
# it, then builds the two .debs (ravelin-cli and ravelin), has lintian judge them, unpacks
# them into a throw-away root and runs both programs and the examples from there.
# Usage: install_test.sh BUILD_DIR. Exits 77 (skipped) when a tool it needs is missing.
set -euo pipefail
build=$(cd "$1" && pwd)
for tool in desktop-file-validate appstreamcli cpack dpkg dpkg-deb lintian man readelf \
  systemd-analyze; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
share="$tmp/prefix/share"
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "$*"; exit 1; }
[ -x "$tmp/prefix/bin/ravelin" ] && [ -x "$tmp/prefix/bin/ravelin-cli" ] || { echo "no programs"; exit 1; }
[ "$(ls "$share"/icons/hicolor/*/apps/ravelin.* | wc -l)" -eq 7 ] || { echo "icons missing"; exit 1; }
for page in man1/ravelin.1 man1/ravelin-cli.1 man5/ravelin.ini.5; do
  # groff's warnings (a line too long, an unknown request) are failures, and so is a
  # hyphenated name: a line that ends in a letter and a hyphen.
  text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/$page.gz" 2>"$tmp/warnings")
  [ ! -s "$tmp/warnings" ] || fail "man page $page: $(cat "$tmp/warnings")"
  ! grep -n '[[:alpha:]]-$' <<<"$text" || fail "man page $page hyphenates a word"
done
for page in ravelin.1 ravelin-cli.1; do
  zgrep -q '^\.BR ravelin\.ini (5)' "$share/man/man1/$page.gz" ||
    fail "$page does not refer to ravelin.ini(5)"
done
entry="$share/applications/io.github.ravelin.Ravelin.desktop"
# SingleMainWindow belongs to version 1.5 of the desktop entry format, which Debian 12's
# validator predates; any other finding fails.
findings=$(desktop-file-validate "$entry" | grep -v 'contains key "SingleMainWindow"' || true)
[ -z "$findings" ] || fail "desktop entry: $findings"
grep -qx 'SingleMainWindow=true' "$entry" || fail "the desktop entry lacks SingleMainWindow=true"
appstreamcli validate --no-net "$share/metainfo/io.github.ravelin.Ravelin.metainfo.xml"
if command -v update-mime-database >/dev/null; then
  update-mime-database "$share/mime"
  grep -qx 'text/x-ravelin-script:\*\.rvs' "$share/mime/globs" || { echo "no *.rvs glob"; exit 1; }
fi

(cd "$tmp" && cpack -G DEB -B "$tmp/deb" --config "$build/CPackConfig.cmake" >/dev/null)
cli=$(ls "$tmp"/deb/ravelin-cli_*.deb)
gui=$(ls "$tmp"/deb/ravelin_*.deb)
version=$(dpkg-deb -f "$cli" Version)
for deb in "$cli" "$gui"; do
  echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KiB; Depends: $(dpkg-deb -f "$deb" Depends)"
done
# The headless package: the C and C++ run-times, OpenSSL and zlib, no Qt and no X.
cli_depends=$(dpkg-deb -f "$cli" Depends)
for p in libssl3 zlib1g libc6; do
  [[ "$cli_depends" == *"$p"* ]] || fail "ravelin-cli does not depend on $p"
done
! grep -Eiq 'qt|libx|xcb|libgl|wayland|mesa' <<<"$cli_depends" || fail "ravelin-cli depends on $cli_depends"
dpkg-deb -c "$cli" | grep -q '/usr/bin/ravelin$' && fail "ravelin-cli holds the desktop program"
gui_depends=$(dpkg-deb -f "$gui" Depends)
for p in "ravelin-cli (= $version)" libqt6widgets6 qt6-qpa-plugins; do
  [[ "$gui_depends" == *"$p"* ]] || fail "ravelin does not depend on $p"
done
[[ "$(dpkg-deb -f "$cli" Recommends)" == *ca-certificates* ]] || fail "no Recommends: ca-certificates"
[[ "$(dpkg-deb -f "$gui" Recommends)" == *qt6-translations-l10n* ]] ||
  fail "no Recommends: qt6-translations-l10n"
for deb in "$cli" "$gui"; do
  [[ "$(dpkg-deb -f "$deb" Suggests)" == "amule-utils" ]] || fail "no Suggests: amule-utils"
done
lintian --fail-on error,warning --suppress-tags-from-file "$here/lintian-allowed" "$cli" "$gui" ||
  fail "lintian rejects the packages"
dpkg -x "$cli" "$tmp/root"
dpkg -x "$gui" "$tmp/root"
has() { grep -q "$1" <<<"$elf"; }
for program in ravelin ravelin-cli; do
  binary="$tmp/root/usr/bin/$program"
  # Stripped, position-independent, relocations read-only and bound at start-up, with the
  # stack protector and fortified calls.
  elf=$(readelf -W --file-header --program-headers --dynamic --sections --dyn-syms "$binary")
  has '\.symtab' && fail "$program is not stripped"
  has 'Type: *DYN' || fail "$program is no PIE"
  has GNU_RELRO || fail "$program has no RELRO"
  has 'BIND_NOW\|FLAGS_1.*NOW' || fail "$program is not bound now"
  has __stack_chk_fail || fail "$program has no stack protector"
  has '__[a-z]*_chk@' || fail "$program has no fortified calls"
  # Help and version need no window system.
  env -i PATH=/usr/bin:/bin "$binary" --version | grep -x "$program [0-9.]*" ||
    fail "$program --version"
  [[ "$(env -i PATH=/usr/bin:/bin "$binary" --help)" == "Usage: $program"* ]] || fail "$program --help"
done
for doc in ravelin-cli/{copyright,changelog.gz,README.md,examples/demo.rvs,examples/update.rvs} \
  ravelin/{copyright,changelog.gz} ../man/man5/ravelin.ini.5.gz ../locale/de/LC_MESSAGES/ravelin.mo; do
  [ -f "$tmp/root/usr/share/doc/$doc" ] || fail "no /usr/share/doc/$doc"
done
# The examples as the manual page says: copied out of the read-only folder, then run.
examples=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$tmp/root/usr/share/man/man1/ravelin-cli.1.gz" |
  sed -n 's/^ *\(cp -r \/usr\/share\/doc\/ravelin-cli\/examples .*\)$/\1/p')
[ -n "$examples" ] || fail "ravelin-cli(1) does not say how to copy the examples"
chmod -R a-w "$tmp/root/usr/share/doc"
(cd "$tmp" && HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" &&
  mkdir -p "$HOME" && eval "${examples//\/usr\//$tmp/root/usr/}" &&
  "$tmp/root/usr/bin/ravelin-cli" --quiet run "$HOME/ravelin-examples/demo.rvs") ||
  fail "the examples do not run as ravelin-cli(1) says"
[ -s "$tmp/home/ravelin-examples/demo-servers.txt" ] || fail "the demo wrote no list"
chmod -R u+w "$tmp/root/usr/share/doc"
# The user timer, with its command where the package put it and the manual pages it names.
units="$tmp/root/usr/lib/systemd/user"
mkdir -p "$tmp/units" "$tmp/run" && chmod 700 "$tmp/run"
sed "s|^ExecStart=ravelin-cli |ExecStart=$tmp/root/usr/bin/ravelin-cli |" \
  "$units/ravelin-update.service" > "$tmp/units/ravelin-update.service"
cp "$units/ravelin-update.timer" "$tmp/units/"
grep -q '^ExecStart=ravelin-cli .*run %E/ravelin/update.rvs$' "$units/ravelin-update.service" ||
  fail "the service does not run ~/.config/ravelin/update.rvs"
(cd "$tmp/units" && XDG_RUNTIME_DIR="$tmp/run" MANPATH="$tmp/root/usr/share/man" \
  systemd-analyze --user verify ./ravelin-update.service ./ravelin-update.timer) ||
  fail "systemd-analyze rejects the user units"
echo "install test passed"
