# The shared set-up of the command-line tests, sourced by each of them:
#   . "$(dirname "$0")/lib.sh"
# A test runs as NAME.sh BUILD_DIR FIXTURES_DIR. It gets BUILD, FIXTURES,
# CLI and SIM (the built programs), TMP (a temporary folder removed at exit),
# PIDS (processes it started, such as simulated units, ended at exit),
# fail (counts a failure and says why) and finish NAME (the verdict and the
# exit code).
set -u
BUILD=$1
FIXTURES=${2:-}
CLI="$BUILD/tools/vexa-cli"
SIM="$BUILD/tools/vexa-unit-sim"
TMP=$(mktemp -d "${TMPDIR:-/tmp}/vexa-cli-test.XXXXXX")
PIDS=()
cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  rm -rf "$TMP"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
  fi
  echo "$1: all passed"
}
