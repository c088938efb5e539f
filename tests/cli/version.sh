#!/usr/bin/env bash
# --version of the programs: name and version, exit 0; vexa-init answers
# without a display and without opening a window.
. "$(dirname "$0")/lib.sh"

expect_version() {
  local name=$1
  shift
  local out rc
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" --version 2>&1)
  rc=$?
  [ "$rc" -eq 0 ] || fail "$name --version exited $rc: $out"
  [[ "$out" =~ ^$name\ [0-9]+\.[0-9]+$ ]] || fail "$name --version printed '$out'"
}

expect_version vexa-cli "$BUILD/tools/vexa-cli"
if [ -x "$BUILD/vexa-init" ]; then
  expect_version vexa-init "$BUILD/vexa-init"
  "$BUILD/vexa-init" one.eep two.eep >/dev/null 2>&1
  rc=$?
  [ "$rc" -eq 2 ] || fail "vexa-init with two files exited $rc, expected 2"
fi
finish version
