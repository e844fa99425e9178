#!/usr/bin/env bash
# Installs the build into a throw-away prefix and checks what the desktop and man read from
# it, then builds the .deb, has lintian judge it, unpacks it into a throw-away root and runs
# both programs from there.
# Usage: install_test.sh BUILD_DIR. Exits 77 (skipped) when a tool it needs is missing.
set -euo pipefail
build=$(cd "$1" && pwd)
for tool in desktop-file-validate appstreamcli cpack dpkg dpkg-deb lintian man readelf; do
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
for page in ravelin ravelin-cli; do
  # groff's warnings (a line too long, an unknown request) are failures.
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $page: $warnings"
done
desktop-file-validate "$share/applications/io.github.ravelin.Ravelin.desktop"
appstreamcli validate --no-net "$share/metainfo/io.github.ravelin.Ravelin.metainfo.xml"
if command -v update-mime-database >/dev/null; then
  update-mime-database "$share/mime"
  grep -qx 'text/x-ravelin-script:\*\.rvs' "$share/mime/globs" || { echo "no *.rvs glob"; exit 1; }
fi

(cd "$tmp" && cpack -G DEB -B "$tmp/deb" --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$tmp"/deb/ravelin_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 qt6-qpa-plugins libssl3; do
  [[ "$depends" == *"$p"* ]] || { echo "the package does not depend on $p"; exit 1; }
done
[[ "$(dpkg-deb -f "$deb" Recommends)" == *ca-certificates* ]] || fail "no Recommends: ca-certificates"
[[ "$(dpkg-deb -f "$deb" Suggests)" == "amule-utils | amule-daemon" ]] || fail "no Suggests: amulecmd"
lintian --fail-on error,warning --suppress-tags-from-file "$here/lintian-allowed" "$deb" ||
  fail "lintian rejects the package"
dpkg -x "$deb" "$tmp/root"
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
for doc in copyright changelog.gz examples/demo.rvs; do
  [ -f "$tmp/root/usr/share/doc/ravelin/$doc" ] || fail "no /usr/share/doc/ravelin/$doc"
done
echo "install test passed"
