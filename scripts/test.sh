#!/usr/bin/env bash
# Installs what is missing, builds VEXA Init and runs every test: once in the
# normal build, then checks the Debian package made from it, and once built
# with AddressSanitizer and UndefinedBehaviorSanitizer; then the Windows build
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== Normal build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs" --timeout 300)

echo "== Debian package"
bash scripts/check-package.sh build

echo "== Sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer)"
# Line tables are all the sanitizers' reports need.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DVEXA_SANITIZE=ON -DVEXA_BENCH=OFF \
  >/dev/null
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 600)

echo "== Windows (MinGW-w64 build, run under Wine)"
# The core's and the window's tests, vexa-cli.exe beside vexa-cli, vexa-cli.exe
# and vexa-init.exe against vexa-unit-sim of the normal build, the installer
# (scripts/test-windows.sh; the first run on a machine builds Qt for Windows
# once, unless VEXA_QT_WINDOWS_ARCHIVE names an archive of that build).
bash scripts/test-windows.sh build
