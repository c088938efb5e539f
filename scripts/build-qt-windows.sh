#!/usr/bin/env bash
# The Qt that vexa-init.exe is built with: a static, release, size-optimised
# Qt 6.4.2 qtbase for Windows x64 (MinGW-w64, posix threads), made once into a
# cache folder outside the build and reused from then on:
#   scripts/build-qt-windows.sh            prints the Qt folder (its prefix)
#   scripts/build-qt-windows.sh --check    the same, but builds nothing: exit 1
#                                          with a message when it is not there
# VEXA_QT_WINDOWS_DIR     the cache folder (default ~/.cache/vexa-init/qt-6.4.2-mingw-static)
# VEXA_QT_WINDOWS_ARCHIVE an archive of this very build (a tar.xz holding prefix/):
#                         unpacked instead of building (seconds instead of about
#                         20 minutes on 2 cores)
# Without an archive, Debian's own qt6-base source is fetched with apt-get
# source (a deb-src twin of each of the system's apt sources, in a private
# apt configuration under the cache folder) and built with the project's
# MinGW-w64 compiler. Messages go to standard error; standard output holds the
# prefix only.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
QT_VERSION=6.4.2
DEB_VERSION=6.4.2+dfsg
CACHE=${VEXA_QT_WINDOWS_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vexa-init/qt-$QT_VERSION-mingw-static}
PREFIX=$CACHE/prefix
STAMP=$PREFIX/.vexa-qt-ready
say() { echo "build-qt-windows: $*" >&2; }

if [ -e "$STAMP" ]; then
  echo "$PREFIX"
  exit 0
fi
if [ "${1:-}" = --check ]; then
  say "no Qt for Windows in $CACHE; scripts/build-qt-windows.sh makes it (or set VEXA_QT_WINDOWS_ARCHIVE)"
  exit 1
fi
mkdir -p "$CACHE"

# --- From an archive of this build -------------------------------------------
if [ -n "${VEXA_QT_WINDOWS_ARCHIVE:-}" ]; then
  [ -f "$VEXA_QT_WINDOWS_ARCHIVE" ] || { say "VEXA_QT_WINDOWS_ARCHIVE=$VEXA_QT_WINDOWS_ARCHIVE is no file"; exit 1; }
  say "unpacking $VEXA_QT_WINDOWS_ARCHIVE into $CACHE"
  rm -rf "$PREFIX" "$CACHE/unpack"
  mkdir -p "$CACHE/unpack"
  tar -C "$CACHE/unpack" -xJf "$VEXA_QT_WINDOWS_ARCHIVE"
  [ -f "$CACHE/unpack/prefix/lib/cmake/Qt6/Qt6Config.cmake" ] || {
    say "$VEXA_QT_WINDOWS_ARCHIVE holds no prefix/lib/cmake/Qt6"
    rm -rf "$CACHE/unpack"
    exit 1
  }
  mv "$CACHE/unpack/prefix" "$PREFIX"
  rmdir "$CACHE/unpack"
  touch "$STAMP"
  echo "$PREFIX"
  exit 0
fi

# --- From Debian's source ----------------------------------------------------
say "building Qt $QT_VERSION for Windows from Debian's qt6-base source into $CACHE (once; about 20 minutes on 2 cores)"
for tool in x86_64-w64-mingw32-g++-posix ninja perl dpkg-source /usr/lib/qt6/libexec/moc; do
  command -v "$tool" >/dev/null || { say "$tool is missing: run scripts/setup.sh"; exit 1; }
done

# A private apt configuration whose sources are the system's own, as deb-src.
APT=$CACHE/apt
mkdir -p "$APT/lists/partial" "$APT/sources.list.d" "$APT/archives/partial"
: >"$APT/sources.list"
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >>"$APT/sources.list"
fi
for f in /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >>"$APT/sources.list"
done
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" >"$APT/sources.list.d/$(basename "$f")"
done
APT_OPTS=(-o "Dir::Etc::SourceList=$APT/sources.list" -o "Dir::Etc::SourceParts=$APT/sources.list.d"
  -o "Dir::State::Lists=$APT/lists" -o "Dir::Cache::Archives=$APT/archives" -o "APT::Sandbox::User=root")
TARBALLS=$CACHE/source
mkdir -p "$TARBALLS"
if ! ls "$TARBALLS"/qt6-base_"$DEB_VERSION".orig.tar.* >/dev/null 2>&1; then
  if ! apt-get "${APT_OPTS[@]}" update -qq >&2 ||
     ! (cd "$TARBALLS" && apt-get "${APT_OPTS[@]}" source --download-only -qq qt6-base >&2); then
    say "Debian's qt6-base $DEB_VERSION source could not be fetched. Either let apt reach a Debian mirror"
    say "with deb-src, or set VEXA_QT_WINDOWS_ARCHIVE to an archive of this build (a tar.xz holding prefix/)."
    exit 1
  fi
fi
if ! ls "$TARBALLS"/qt6-base_"$DEB_VERSION".orig.tar.xz "$TARBALLS"/qt6-base_"$DEB_VERSION"-*.debian.tar.xz >/dev/null 2>&1; then
  say "Debian's qt6-base source in $TARBALLS is not version $DEB_VERSION: $(ls "$TARBALLS")"
  exit 1
fi
[ "${VEXA_QT_STOP_AFTER_FETCH:-0}" = 1 ] && { say "source fetched into $TARBALLS"; exit 0; }

SRC=$CACHE/qtbase-everywhere-src-$QT_VERSION
if [ ! -e "$SRC/.debian-patched" ]; then
  rm -rf "$SRC" "$CACHE/debian-src"
  tar -C "$CACHE" -xf "$TARBALLS"/qt6-base_"$DEB_VERSION".orig.tar.xz
  mkdir -p "$CACHE/debian-src"
  tar -C "$CACHE/debian-src" -xf "$(ls "$TARBALLS"/qt6-base_"$DEB_VERSION"-*.debian.tar.xz | head -1)"
  # Debian's fixes; not the two that concern its own packaging only
  # (cross.patch, force_shared_libzstd.patch).
  for p in cve-2023-32762.diff cve-2023-32763.diff cve-2023-33285.diff \
           upstream_Add-HPPA-detection.patch upstream_Add-M68k-detection.patch \
           cve-2023-24607.patch remove_privacy_breaches.diff \
           build_path_embedded_qtbuildinternalsextra_cmake.patch armel-noyield.patch; do
    if [ -f "$CACHE/debian-src/debian/patches/$p" ]; then
      (cd "$SRC" && patch -p1 --quiet <"$CACHE/debian-src/debian/patches/$p")
    else
      say "Debian's source has no $p; built without it"
    fi
  done
  touch "$SRC/.debian-patched"
fi

# The +dfsg source lacks wintab, iaccessible2 and sqlite: tablet events and SQL
# are off. Direct2D stays on: without it Qt 6.4.2 leaves the DirectWrite font
# engine out of Gui while the qwindows plugin and PrintSupport need it.
BUILD=$CACHE/build
rm -rf "$BUILD" "$PREFIX"
mkdir -p "$BUILD"
(cd "$BUILD" && nice -n 19 "$SRC/configure" -prefix "$PREFIX" \
  -release -static -static-runtime -optimize-size -xplatform win32-g++ -qt-host-path /usr \
  -nomake examples -nomake tests -no-opengl -no-dbus -no-icu \
  -qt-zlib -qt-pcre -qt-libpng -no-libjpeg -qt-harfbuzz -qt-doubleconversion -no-freetype \
  -no-feature-zstd -no-feature-sql -no-feature-network -no-feature-concurrent \
  -no-feature-xml -no-feature-tabletevent -no-feature-vulkan \
  -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake" \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake) >"$CACHE/configure.log" 2>&1 ||
  { say "configure failed: $CACHE/configure.log"; exit 1; }
[ "${VEXA_QT_STOP_AFTER_CONFIGURE:-0}" = 1 ] && { say "configured in $BUILD"; exit 0; }
nice -n 19 cmake --build "$BUILD" --parallel "${JOBS:-$(nproc)}" >"$CACHE/build.log" 2>&1 ||
  { say "the Qt build failed: $CACHE/build.log"; exit 1; }
cmake --install "$BUILD" >"$CACHE/install.log" 2>&1 || { say "installing Qt failed: $CACHE/install.log"; exit 1; }
rm -rf "$BUILD" "$SRC" "$CACHE/debian-src"
touch "$STAMP"
echo "$PREFIX"
