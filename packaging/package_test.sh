#!/bin/sh
# The Debian package of a built tree: `cpack -G DEB` packages the build as it
# stands (no build of its own), the package holds what an installed
# Varnolde needs, lintian finds no error in it, and the varnolde-cli
# extracted from it makes a scale file, imports a load and writes the
# reports. Skipped (exit 77) where dpkg-deb or lintian is missing.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
for tool in cpack dpkg-deb dpkg-shlibdeps lintian readelf; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/varnolde-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$work/out/varnolde_2010.11.05_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$work/out"; fail "no $deb"; }

# The files, where Debian and the desktop look for them.
dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"
for file in /usr/bin/varnolde /usr/bin/varnolde-cli /usr/bin/plinq-panel \
  /usr/lib/varnolde/varnolde /usr/lib/varnolde/varnolde-cli \
  /usr/lib/varnolde/DefaultScaler.SetupScl /usr/lib/plinq/plinq-panel \
  /usr/lib/plinq/libplinq.so /etc/varnolde/Varnolde.upw \
  /usr/share/doc/varnolde/copyright /usr/share/doc/varnolde/changelog.gz \
  /usr/share/man/man1/varnolde.1.gz /usr/share/man/man1/varnolde-cli.1.gz \
  /usr/share/man/man1/plinq-panel.1.gz /usr/share/bash-completion/completions/varnolde-cli \
  /usr/share/applications/varnolde.desktop /usr/share/mime/packages/varnolde.xml \
  /usr/share/metainfo/org.varnolde.varnolde.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/varnolde.svg \
  /usr/share/icons/hicolor/16x16/apps/varnolde.png \
  /usr/share/icons/hicolor/256x256/apps/varnolde.png \
  /usr/share/varnolde/demo/demo-3p-cubic.txt; do
  grep -qx "$file" "$work/files" || fail "the package lacks $file"
done
if grep -q '^/usr/lib/varnolde/Varnolde.upw$' "$work/files"; then
  fail "the password file is shipped beside the program"
fi
dpkg-deb --field "$deb" Depends | grep -q 'libc6' || fail "no dependencies from the binaries"
dpkg-deb --info "$deb" conffiles | grep -qx '/etc/varnolde/Varnolde.upw' ||
  fail "the password file is no conffile"

# Extracted: stripped binaries, and a working varnolde-cli.
root=$work/root
dpkg-deb -x "$deb" "$root"
for binary in "$root/usr/lib/varnolde/varnolde-cli" "$root/usr/lib/varnolde/varnolde" \
  "$root/usr/lib/plinq/plinq-panel"; do
  if readelf -S "$binary" | grep -q '\.symtab'; then fail "$binary is not stripped"; fi
done
cli=$root/usr/bin/varnolde-cli
scl=$work/load.scl
(
  cd "$work"
  "$cli" create "$scl"
  "$cli" import "$scl" "$root/usr/share/varnolde/demo/demo-3p-cubic.txt"
  "$cli" report "$scl"
) >"$work/cli.log" 2>&1 || { cat "$work/cli.log"; fail "varnolde-cli from the package"; }
ls "$work"/*.cmp "$work"/*.clg >/dev/null 2>&1 || { cat "$work/cli.log"; fail "no reports"; }

# lintian: no errors (the warnings left are explained in the README).
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
  { cat "$work/lintian.log"; fail "lintian found errors"; }
cat "$work/lintian.log"
echo "package ok: $(basename "$deb")"
