#!/usr/bin/env bash
# Builds VEXA Init (after installing what is missing) and its Debian package,
# build/vexa-init_<version>_<arch>.deb, and checks that packaging it again
# gives the same bytes. Install it with
#   sudo apt install ./build/vexa-init_*.deb
#
#   scripts/package.sh --reproducible
# also builds the same commit a second time from a clean copy in another
# folder (build/reproducible.*, removed afterwards) and checks that the two packages are byte for byte the same (a
# second full build of the programs: minutes, so not part of every run).
set -euo pipefail
cd "$(dirname "$0")/.."
full=false
[ "${1:-}" = "--reproducible" ] && full=true

# The package's times are the last commit's.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 1796601600)}
export SOURCE_DATE_EPOCH

bash scripts/build.sh
cmake --build build --target package >/dev/null
deb=$(ls build/vexa-init_*.deb)
cp "$deb" "$deb.first"
cmake --build build --target package >/dev/null
cmp -s "$deb" "$deb.first" || { echo "package: packaging twice gave different packages" >&2; exit 1; }
rm -f "$deb.first"

if $full; then
  if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "package: --reproducible compares with the committed sources; commit or stash the changes first" >&2
    exit 1
  fi
  # Beside the first build, so that a compiler cache that rewrites the
  # paths under its base folder (ccache's base_dir) treats both alike.
  other=$(mktemp -d "$PWD/build/reproducible.XXXXXX")
  trap 'rm -rf "$other"' EXIT
  git archive HEAD | tar -x -C "$other"
  cmake -S "$other" -B "$other/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_BENCH=OFF >/dev/null
  cmake --build "$other/build" -j"$(nproc)" --target vexa-init vexa-cli vexa-unit-sim man-pages package-doc >/dev/null
  (cd "$other/build" && cpack -G DEB >/dev/null)
  if cmp -s "$deb" "$other/build/$(basename "$deb")"; then
    echo "package: a second build in $other gave the same package"
  else
    cp "$other/build/$(basename "$deb")" "$deb.second"
    mkdir -p "$other/a" "$other/b"
    dpkg-deb -R "$deb" "$other/a"
    dpkg-deb -R "$deb.second" "$other/b"
    echo "package: a second build gave a different package ($deb.second); the files that differ:" >&2
    diff -rq "$other/a" "$other/b" >&2 || true
    exit 1
  fi
fi
ls -l "$deb"
