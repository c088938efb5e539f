# The shared set-up of the command-line tests, sourced by each of them:
#   . "$(dirname "$0")/lib.sh"
# A test runs as NAME.sh BUILD_DIR FIXTURES_DIR. It gets BUILD, FIXTURES,
# CLI and SIM (the built programs), TMP (a temporary folder removed at exit),
# PIDS (processes it started, such as simulated units, ended at exit),
# fail (counts a failure and says why) and finish NAME (the verdict and the
# exit code); run, expect_exit and start_sim below.
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

# run RC ARGS...: runs vexa-cli (at most 120 s), its output in $TMP/out and $TMP/err.
run() {
  local expected=$1
  shift
  timeout 120 "$CLI" "$@" >"$TMP/out" 2>"$TMP/err" </dev/null
  local rc=$?
  [ "$rc" -eq "$expected" ] || fail "vexa-cli $* exited $rc, expected $expected: $(cat "$TMP/err")"
}

# expect_exit RC DESCRIPTION -- COMMAND...: the same for any command.
expect_exit() {
  local want=$1 what=$2
  shift 3
  "$@" >"$TMP/out" 2>"$TMP/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "$what: exit $got, expected $want ($(head -c 300 "$TMP/err"))"
}

# start_sim NAME ARGS...: starts vexa-unit-sim (its log in $TMP/NAME.err),
# sets PORT_<NAME> to its device; the test stops when it does not start.
start_sim() {
  local name=$1
  shift
  "$SIM" "$@" >"$TMP/$name.out" 2>"$TMP/$name.err" </dev/null &
  PIDS+=($!)
  for _ in $(seq 50); do
    [ -s "$TMP/$name.out" ] && break
    sleep 0.1
  done
  printf -v "PORT_$name" '%s' "$(head -1 "$TMP/$name.out")"
  [ -s "$TMP/$name.out" ] || { echo "FAIL: vexa-unit-sim $* did not start" >&2; exit 1; }
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
  fi
  echo "$1: all passed"
}
