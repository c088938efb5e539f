#!/usr/bin/env bash
# Builds the Debian package from an already built tree (build/ by default) and
# checks it: every file is in it, the desktop entry, AppStream metainfo and
# MIME type are valid as installed, and the programs run from a scratch root
# with the system's Qt.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}

cmake --build "$BUILD" --target package >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
deb="$BUILD/vexa-init_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "check-package: $deb was not built" >&2; exit 1; }

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

expected=(
  usr/bin/vexa-init
  usr/bin/vexa-cli
  usr/bin/vexa-unit-sim
  usr/share/applications/vexa-init.desktop
  usr/share/icons/hicolor/scalable/apps/vexa-init.svg
  usr/share/icons/hicolor/256x256/apps/vexa-init.png
  usr/share/mime/packages/vexa-init.xml
  usr/share/metainfo/cz.vexa.init.metainfo.xml
  usr/share/man/man1/vexa-init.1.gz
  usr/share/man/man1/vexa-cli.1.gz
  usr/share/man/man1/vexa-unit-sim.1.gz
)
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for f in "${expected[@]}"; do
  grep -qx "\./$f" <<<"$contents" || fail "$f is missing from the package"
done
depends=$(dpkg-deb --field "$deb" Depends)
[[ "$depends" == *libqt6widgets6* ]] || fail "Depends lacks the Qt libraries: '$depends'"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
share="$root/usr/share"

desktop-file-validate "$share/applications/vexa-init.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/cz.vexa.init.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate: $(appstreamcli validate --no-net "$share/metainfo/cz.vexa.init.metainfo.xml")"
# The MIME database compiles the type with its name pattern and its magic.
update-mime-database "$share/mime" 2>/dev/null || fail "update-mime-database"
grep -q 'x-vexa-eep' "$share/mime/globs2" 2>/dev/null || fail "no *.eep pattern in the MIME database"
grep -aq 'x-vexa-eep' "$share/mime/magic" 2>/dev/null || fail "no magic in the MIME database"
[[ "$(file -b "$share/icons/hicolor/256x256/apps/vexa-init.png")" == "PNG image data, 256 x 256"* ]] ||
  fail "the PNG icon is not 256 x 256"
for page in "$share"/man/man1/*.1.gz; do
  gzip -t "$page" || fail "$page is damaged"
done

# The programs from the scratch root, with the libraries of the system only.
for prog in vexa-init vexa-cli; do
  out=$(env -u LD_LIBRARY_PATH -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$prog" --version) ||
    fail "$prog --version from the package failed"
  [ "$out" = "$prog $version" ] || fail "$prog --version printed '$out'"
done
env -u LD_LIBRARY_PATH "$root/usr/bin/vexa-unit-sim" --help >/dev/null || fail "vexa-unit-sim --help failed"

if [ "$failures" -gt 0 ]; then
  echo "check-package: $failures failures" >&2
  exit 1
fi
echo "check-package: $deb ($(stat -c %s "$deb") bytes, ${#expected[@]} files checked) is sound"
