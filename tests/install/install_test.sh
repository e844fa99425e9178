#!/usr/bin/env bash
# Installs the build into a throw-away prefix and checks what the desktop reads from it,
# then builds the .deb, unpacks it into a throw-away root and runs ravelin-cli from there.
# Usage: install_test.sh BUILD_DIR. Exits 77 (skipped) when a tool it needs is missing.
set -euo pipefail
build=$(cd "$1" && pwd)
for tool in desktop-file-validate appstreamcli cpack dpkg dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
share="$tmp/prefix/share"
[ -x "$tmp/prefix/bin/ravelin" ] && [ -x "$tmp/prefix/bin/ravelin-cli" ] || { echo "no programs"; exit 1; }
[ "$(ls "$share"/icons/hicolor/*/apps/ravelin.* | wc -l)" -eq 7 ] || { echo "icons missing"; exit 1; }
desktop-file-validate "$share/applications/ravelin.desktop"
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
dpkg -x "$deb" "$tmp/root"
"$tmp/root/usr/bin/ravelin-cli" --version | grep -x "ravelin-cli [0-9.]*"
echo "install test passed"
