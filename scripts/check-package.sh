#!/usr/bin/env bash
# Builds the Debian package from an already built tree (build/ by default) and
# checks it: every file is in it; the programs are hardened (hardening-check);
# lintian finds nothing at its default level but the placeholder maintainer;
# the desktop entry, AppStream metainfo, manual pages and MIME type are valid
# as installed, a VEXA ".eep" is recognised by its content and another
# program's Intel HEX ".eep" stays text; packaging twice gives the same bytes;
# and the programs run from a scratch root with the system's Qt.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}

# The package's times are the last commit's (reproducible), or a fixed one
# outside a git checkout.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 1796601600)}
export SOURCE_DATE_EPOCH

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
  usr/share/doc/vexa-init/copyright
  usr/share/doc/vexa-init/changelog.gz
)
contents=$(dpkg-deb --contents "$deb" | awk '{print $NF}')
for f in "${expected[@]}"; do
  grep -qx "\./$f" <<<"$contents" || fail "$f is missing from the package"
done
depends=$(dpkg-deb --field "$deb" Depends)
[[ "$depends" == *libqt6widgets6* ]] || fail "Depends lacks the Qt libraries: '$depends'"
[[ "$depends" == *fonts-liberation* ]] || fail "Depends lacks fonts-liberation: '$depends'"

# Packaging the same build again gives the same bytes: no time, owner or
# order of the build machine gets into the package.
cp "$deb" "$deb.first"
touch "$BUILD"/vexa-init "$BUILD"/tools/vexa-cli "$BUILD"/tools/vexa-unit-sim
cmake --build "$BUILD" --target package >/dev/null
cmp -s "$deb" "$deb.first" || fail "packaging twice gave different packages (not reproducible)"
rm -f "$deb.first"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
share="$root/usr/share"

# Hardened: every line of hardening-check says yes. Its stack clash line
# looks only for the probes of a stack allocation of variable size, which
# these programs do not make; there the probes of large fixed frames
# (sub $0x1000,%rsp; orq $0x0,(%rsp)) show the protection instead.
for prog in vexa-init vexa-cli vexa-unit-sim; do
  report=$(hardening-check "$root/usr/bin/$prog" || true)
  if grep -q '^ Stack clash protection: unknown' <<<"$report" &&
    objdump -d --no-show-raw-insn "$root/usr/bin/$prog" | grep -A1 'sub    $0x1000,%rsp' | grep -q 'orq    $0x0,(%rsp)'; then
    report=$(sed 's/^ Stack clash protection: unknown.*/ Stack clash protection: yes (probes of fixed frames)/' <<<"$report")
  fi
  not_yes=$(grep '^ ' <<<"$report" | grep -v ': yes' || true)
  [ -z "$not_yes" ] || fail "hardening-check $prog:
$not_yes"
done

# lintian at its default level: nothing but the placeholder maintainer
# (VEXA_MAINTAINER), which a release sets.
maintainer=$(dpkg-deb --field "$deb" Maintainer)
allowed='^$'
if [[ "$maintainer" == *@localhost* ]]; then allowed='bogus-mail-host|bogus-mail-host-in-debian-changelog'; fi
lint=$(lintian "$deb" 2>&1 | grep -E '^[EW]: ' || true)
unexpected=$(grep -vE ": ($allowed)( |$)" <<<"$lint" || true)
[ -z "$unexpected" ] || fail "lintian:
$unexpected"

desktop-file-validate "$share/applications/vexa-init.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/cz.vexa.init.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate: $(appstreamcli validate --no-net "$share/metainfo/cz.vexa.init.metainfo.xml")"
[[ "$(file -b "$share/icons/hicolor/256x256/apps/vexa-init.png")" == "PNG image data, 256 x 256"* ]] ||
  fail "the PNG icon is not 256 x 256"
head -1 "$share/doc/vexa-init/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not machine-readable"
zcat "$share/doc/vexa-init/changelog.gz" | head -1 | grep -q "^vexa-init ($version) " ||
  fail "the changelog does not start with version $version"

# Manual pages: intact, and groff finds nothing to warn about.
for page in "$share"/man/man1/*.1.gz; do
  gzip -t "$page" || fail "$page is damaged"
  warnings=$(zcat "$page" | groff -ww -man -Tutf8 -z 2>&1) || true
  [ -z "$warnings" ] || fail "groff -ww $(basename "$page"): $warnings"
done

# The MIME type, in a private database made of the system's and the
# package's: a VEXA ".eep" by its content, an Intel HEX ".eep" stays text.
update-mime-database "$share/mime" 2>/dev/null || fail "update-mime-database"
grep -aq 'x-vexa-eep' "$share/mime/magic" 2>/dev/null || fail "no magic in the MIME database"
grep -q 'eep' "$share/mime/globs2" 2>/dev/null && fail "the MIME type claims a name pattern"
samples="$root/samples"
mkdir -p "$samples" "$root/home"
cp tests/fixtures/pumping-station.eep "$samples/pumping-station.eep"
cp tests/fixtures/startup.eep "$samples/startup.EEP"
printf ':10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00\r\n:00000001FF\r\n' >"$samples/avr.eep"
mime_of() {
  env XDG_DATA_HOME="$root/home" XDG_DATA_DIRS="$share:/usr/share" \
    gio info -a standard::content-type "$1" 2>/dev/null | sed -n 's/^ *standard::content-type: //p'
}
for f in pumping-station.eep startup.EEP; do
  [ "$(mime_of "$samples/$f")" = application/x-vexa-eep ] || fail "$f is $(mime_of "$samples/$f"), not application/x-vexa-eep"
done
[ "$(mime_of "$samples/avr.eep")" = text/plain ] || fail "an Intel HEX .eep is $(mime_of "$samples/avr.eep"), not text/plain"

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
