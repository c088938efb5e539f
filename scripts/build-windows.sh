#!/usr/bin/env bash
# Builds the Windows programs on Debian with MinGW-w64: vexa-cli.exe (without
# Qt: every command but `report`) and the core's test programs, statically
# linked, into build-windows/; then packs
# build-windows/vexa-cli-<version>-windows-x64.zip with the .exe and its
# Czech read-me. The tests run under Wine in scripts/test-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
out=build-windows
jobs=$(nproc)

# nlohmann/json is headers only: Debian's copy, without the rest of
# /usr/include, which is not for Windows.
mkdir -p "$out/json-include"
ln -sfn /usr/include/nlohmann "$out/json-include/nlohmann"

cmake --no-warn-unused-cli -S . -B "$out" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DCMAKE_BUILD_TYPE=Release \
  -DVEXA_GUI=OFF -DVEXA_BENCH=OFF -DVEXA_JSON_INCLUDE_DIR="$PWD/$out/json-include" \
  -DVEXA_GTEST_SOURCE_DIR=/usr/src/googletest -DVEXA_TEST_PATH_PREFIX=Z: >/dev/null
targets=(vexa-cli test_workspace test_codec test_rules test_link test_file test_workflows test_report test_graph test_platform)
cmake --build "$out" -j"$jobs" --target "${targets[@]}"
x86_64-w64-mingw32-strip "$out/tools/vexa-cli.exe"

version=$(sed -n 's/^project(vexa_init VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name="vexa-cli-$version-windows-x64"
stage="$out/$name"
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage"
cp "$out/tools/vexa-cli.exe" "$stage/"
# The read-me with Windows line ends, for Notepad.
sed 's/$/\r/' packaging/windows/CTIMNE.txt >"$stage/CTIMNE.txt"
# The times of the last commit, so that the same commit packs the same bytes.
stamp=$(git log -1 --format=%cd --date=format:%Y%m%d%H%M.%S 2>/dev/null || date +%Y%m%d%H%M.%S)
touch -t "$stamp" "$stage"/*
(cd "$out" && zip -q -X -r "$name.zip" "$name")
echo "$out/$name.zip"
