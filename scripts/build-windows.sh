#!/usr/bin/env bash
# Builds the Windows programs on Debian with MinGW-w64, statically linked,
# into build-windows/: vexa-init.exe (the window, on the static Qt for Windows
# of scripts/build-qt-windows.sh), vexa-cli.exe (without Qt: every command but
# `report`) and the test programs; checks that the programs import only
# Windows' own DLLs; then packs build-windows/vexa-init-<version>-windows-x64.zip
# with both programs and the Czech read-me, and the installer
# build-windows/vexa-init-<version>-setup.exe (NSIS). The tests run under Wine
# in scripts/test-windows.sh.
#   scripts/build-windows.sh [--no-qt]     --no-qt: vexa-cli.exe and the core's tests only
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
out=build-windows
jobs=$(nproc)

# nlohmann/json is headers only: Debian's copy, without the rest of
# /usr/include, which is not for Windows.
mkdir -p "$out/json-include"
ln -sfn /usr/include/nlohmann "$out/json-include/nlohmann"

gui=ON
qt=""
if [ "${1:-}" = --no-qt ]; then
  gui=OFF
elif ! qt=$(bash scripts/build-qt-windows.sh); then
  echo "build-windows: no Qt for Windows, so no vexa-init.exe: see the message above" >&2
  exit 1
fi
if [ "$gui" = ON ]; then
  # Qt's toolchain file finds the Qt for Windows and the host tools of
  # Debian's Qt (moc, rcc, uic), and chains the project's MinGW-w64 one.
  toolchain=(-DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake"
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake"
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
else
  toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake)
fi
# A folder configured for the other kind starts afresh.
if [ -f "$out/CMakeCache.txt" ] && ! grep -qx "VEXA_GUI:BOOL=$gui" "$out/CMakeCache.txt"; then
  rm -rf "$out/CMakeCache.txt" "$out/CMakeFiles"
fi
cmake --no-warn-unused-cli -S . -B "$out" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DVEXA_GUI=$gui -DVEXA_BENCH=OFF -DVEXA_JSON_INCLUDE_DIR="$PWD/$out/json-include" \
  -DVEXA_GTEST_SOURCE_DIR=/usr/src/googletest -DVEXA_TEST_PATH_PREFIX=Z: >/dev/null
targets=(vexa-cli test_workspace test_codec test_rules test_link test_file test_workflows test_report test_graph test_platform)
[ "$gui" = ON ] && targets+=(vexa-init test_ui test_e2e)
cmake --build "$out" -j"$jobs" --target "${targets[@]}"
x86_64-w64-mingw32-strip "$out/tools/vexa-cli.exe"
programs=("$out/tools/vexa-cli.exe")
if [ "$gui" = ON ]; then
  x86_64-w64-mingw32-strip "$out/vexa-init.exe"
  programs+=("$out/vexa-init.exe")
fi

# One .exe each, needing nothing but Windows' own DLLs.
for exe in "${programs[@]}"; do
  foreign=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' |
    grep -vxE '(advapi32|comdlg32|d3d11|d3d9|d3d12|dwmapi|dwrite|d2d1|dxgi|gdi32|imm32|kernel32|msvcrt|netapi32|ole32|oleaut32|setupapi|shcore|shell32|shlwapi|user32|userenv|uxtheme|version|winmm|ws2_32|wtsapi32|authz|api-ms-win-[a-z0-9-]+)\.dll|winspool\.drv' || true)
  if [ -n "$foreign" ]; then
    echo "build-windows: $exe needs DLLs that Windows lacks: $foreign" >&2
    exit 1
  fi
done

version=$(sed -n 's/^project(vexa_init VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name="vexa-init-$version-windows-x64"
stage="$out/$name"
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage"
cp "${programs[@]}" "$stage/"
# The read-me with Windows line ends, for Notepad.
sed 's/$/\r/' packaging/windows/CTIMNE.txt >"$stage/CTIMNE.txt"
# The times of the last commit, so that the same commit packs the same bytes.
stamp=$(git log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || date +%Y%m%d%H%M.%S)
touch -t "$stamp" "$stage"/*
(cd "$out" && zip -q -X -r "$name.zip" "$name")
echo "$out/$name.zip"

# The installer (NSIS), from the same files.
if [ "$gui" = ON ]; then
  setup="vexa-init-$version-setup.exe"
  makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DICON="$PWD/packaging/windows/vexa-init.ico" \
    -DOUTFILE="$PWD/$out/$setup" packaging/windows/vexa-init.nsi >"$out/makensis.log" ||
    { cat "$out/makensis.log" >&2; exit 1; }
  echo "$out/$setup"
fi
