#!/usr/bin/env bash
# The Windows stage of the tests, run by scripts/test.sh after the normal
# build (whose vexa-cli, vexa-unit-sim and test_e2e it compares against):
#   scripts/test-windows.sh [LINUX_BUILD]      (default: build)
# VEXA_WINDOWS_SHOTS=DIR also keeps screenshots of the window and of the
# installer's first page there (needs ImageMagick's import).
# Builds the Windows programs (scripts/build-windows.sh, with the static Qt
# of scripts/build-qt-windows.sh), makes a fresh Wine prefix in
# build-windows/ with Wine's own Tahoma as the dialog font and Liberation for
# Arial, starts its own Xvfb, and there:
#  - runs the core's test programs and the window's (test_ui, on Qt's minimal
#    platform: what they check is the window's behaviour, not its pixels);
#  - runs vexa-cli.exe dump, build, check, diff on the fixtures beside the
#    Linux vexa-cli: the same output files byte for byte, the same texts and
#    exit codes;
#  - runs vexa-cli.exe info, read, write (with its backup) against the Linux
#    vexa-unit-sim through the Wine COM port COM5 (dosdevices/com5, a link to
#    the simulator's pseudo-terminal) beside the Linux vexa-cli on the same
#    simulated unit: the same unit memory and files, a slow unit included,
#    and a write cancelled by Ctrl+C (delivered as SIGINT, which Wine hands
#    to the console handler as CTRL_C_EVENT);
#  - times a full read of a 960-byte unit at 19200 baud by both;
#  - drives the window of vexa-init.exe (test_e2e) through activation, read,
#    an edit, a write with backup and release on COM1 against vexa-unit-sim,
#    checks the unit's memory afterwards, and times activation + read of a
#    960-byte unit beside the Linux window;
#  - starts vexa-init.exe with a fixture and times it to its first window;
#  - drives vexa-init.exe itself by its keys (xdotool on the stage's
#    display): F2 activation, F5 read, a new station name, F6 write with
#    backup, F2 release against vexa-unit-sim on COM1; checks the unit's
#    memory and the backup in %LOCALAPPDATA%;
#  - installs vexa-init-<version>-setup.exe silently for the user, checks the
#    files, the Start-menu entry and the registry, starts the installed
#    program, uninstalls silently and checks that nothing of it is left but
#    the user's backups.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
LINUX_BUILD=$(realpath "${1:-build}")
LCLI="$LINUX_BUILD/tools/vexa-cli"
SIM="$LINUX_BUILD/tools/vexa-unit-sim"
OUT="$ROOT/build-windows"
FIXTURES="$ROOT/tests/fixtures"

STAGE_START=$(date +%s)
# Without the Qt for Windows the window cannot be built: the stage stops
# here and says so, rather than pass without the window.
if ! bash scripts/build-qt-windows.sh >/dev/null; then
  echo "FAIL: no Qt for Windows, so vexa-init.exe is neither built nor tested. Set VEXA_QT_WINDOWS_ARCHIVE" \
    "to an archive of scripts/build-qt-windows.sh's build, or let apt-get source reach Debian's qt6-base." >&2
  exit 1
fi
bash scripts/build-windows.sh >/dev/null || { echo "FAIL: the Windows build failed" >&2; exit 1; }
WCLI="$OUT/tools/vexa-cli.exe"
WINIT="$OUT/vexa-init.exe"
VERSION=$(sed -n 's/^project(vexa_init VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
SETUP="$OUT/vexa-init-$VERSION-setup.exe"
ls -l "$WCLI" "$WINIT" "$SETUP" | awk '{n=$NF; sub(".*/", "", n); printf "%s: %d bytes\n", n, $5}'

# UTF-8 arguments reach Wine's wide command line as the locale says.
export LC_ALL=C.UTF-8
export WINEPREFIX="$OUT/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
TMP=$(mktemp -d "$OUT/test.XXXXXX")
PIDS=()
# A display of the stage's own for the windows (Qt on Windows needs one even
# on its minimal platform).
exec 3>"$TMP/display"
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
PIDS+=($!)
exec 3>&-
for _ in $(seq 50); do
  [ -s "$TMP/display" ] && break
  sleep 0.1
done
[ -s "$TMP/display" ] || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -1 "$TMP/display")"
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# One server for the whole stage, so that each program starts quickly; what
# it says goes to its log.
"$WINESERVER" -f -p >"$OUT/wineserver.log" 2>&1 &
"$WINE" wineboot -i >/dev/null 2>&1 || { echo "FAIL: wineboot" >&2; exit 1; }
# Fonts as on Windows: Wine's Tahoma (Debian's fonts-wine) for the dialogs,
# the Liberation fonts for Arial and its kin.
cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null ||
  echo "note: no Tahoma (fonts-wine): the window's font is a fallback" >&2
printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
  '"Arial"="Liberation Sans"' '"Times New Roman"="Liberation Serif"' '"Courier New"="Liberation Mono"' \
  '"Segoe UI"="Tahoma"' >"$TMP/fonts.reg"
"$WINE" regedit "$TMP/fonts.reg" >/dev/null 2>&1
WUSER=$(id -un)
WHOME="$WINEPREFIX/drive_c/users/$WUSER"

cleanup() {
  local pid
  for pid in "${PIDS[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  "$WINESERVER" -k >/dev/null 2>&1
  rm -rf "$TMP"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

echo "== The core's tests under Wine"
# test_e2e is run against the simulated unit below. Not built for Windows:
# the tests that need a pseudo-terminal (main_window_port_test,
# serial_port_test, link_e2e_test) and test_qt (the printer and pictures,
# tested on Linux). Left out of test_ui under Wine, since Qt's minimal
# platform has no screen, no window manager and other fonts: what is drawn
# and measured (LayoutTest, FitTest, EditorShots, the analog graph's
# picture), a real message box taking the focus (it needs a window
# manager), and Qt's own file dialog (its columns and Linux-style paths).
UI_FILTER='-LayoutTest.*:FitTest.*:EditorShots.*:AnalogEditorTest.TheGraphFollowsEveryKeystrokeAndTheNegation'
UI_FILTER+=':FieldsTest.ARealMessageBoxTakingTheFocusDoesNotRunTheRulesAgain'
UI_FILTER+=':MainWindowRealServicesTest.FailingRuleShowsOneRealMessageBox:QtFileDialogTest.*'
for t in test_workspace test_codec test_rules test_link test_file test_workflows test_report test_graph test_platform \
  test_ui; do
  filter=()
  [ "$t" = test_ui ] && filter=(--gtest_filter="$UI_FILTER")
  if ! (cd "$OUT/tests" && QT_QPA_PLATFORM=minimal timeout 900 "$WINE" "./$t.exe" --gtest_brief=1 "${filter[@]}" \
    >"$TMP/$t.log" 2>&1); then
    cat "$TMP/$t.log" >&2
    fail "$t.exe"
  else
    echo "$t.exe: $(grep -E '^\[  PASSED  \]' "$TMP/$t.log")"
  fi
done

# --- vexa-cli.exe beside vexa-cli --------------------------------------------
# Each side works in a folder of its own holding copies of the fixtures and
# is given the same relative paths, so that its messages read the same.
mkdir -p "$TMP/linux" "$TMP/windows"
for side in linux windows; do
  cp "$FIXTURES"/*.eep "$FIXTURES"/*.json "$TMP/$side/"
  # A name only the wide API carries.
  cp "$FIXTURES/pumping-station.json" "$TMP/$side/čerpací stanice – vrt 2.json"
done

# same DESCRIPTION ARGS...: vexa-cli ARGS in both folders; standard output,
# standard error, the exit code and every file must be the same.
same() {
  local what=$1
  shift
  (cd "$TMP/linux" && timeout 120 "$LCLI" "$@" >"$TMP/l.out" 2>"$TMP/l.err" </dev/null; echo $? >"$TMP/l.rc")
  (cd "$TMP/windows" && timeout 120 "$WINE" "$WCLI" "$@" >"$TMP/w.out" 2>"$TMP/w.err" </dev/null; echo $? >"$TMP/w.rc")
  cmp -s "$TMP/l.rc" "$TMP/w.rc" || fail "$what: exit $(cat "$TMP/l.rc") on Linux, $(cat "$TMP/w.rc") on Windows"
  cmp -s "$TMP/l.out" "$TMP/w.out" || fail "$what: standard output differs: $(diff "$TMP/l.out" "$TMP/w.out" | head -5)"
  cmp -s "$TMP/l.err" "$TMP/w.err" || fail "$what: standard error differs: $(diff "$TMP/l.err" "$TMP/w.err" | head -5)"
  diff -r "$TMP/linux" "$TMP/windows" >/dev/null || fail "$what: the files differ: $(diff -rq "$TMP/linux" "$TMP/windows")"
}

echo "== vexa-cli.exe dump, build, check, diff"
for f in "$FIXTURES"/*.eep; do
  n=$(basename "$f")
  same "dump $n" dump "$n"
  same "check $n" check "$n" --strict
done
for f in "$FIXTURES"/*.json; do
  n=$(basename "$f" .json)
  same "build $n.json" build "$n.json" -o "$n.built.eep"
  same "build $n.json --force" build "$n.json" -o "$n.forced.eep" --force
  same "check $n.json" check "$n.json"
done
same "build to standard output" build pumping-station.json -o -
same "a UTF-8 name" build "čerpací stanice – vrt 2.json" -o "Horní Lhota.eep"
same "a UTF-8 name read" dump "Horní Lhota.eep"
same "build over a base" build startup.json -o based.eep --base pumping-station.eep
same "diff two files" diff startup.eep pumping-station.eep
same "diff as JSON" diff pumping-station.json pumping-station.eep --json
same "diff of the same" diff pumping-station.eep pumping-station.eep
same "a missing file" dump missing.eep
same "a folder" dump .
same "no folder for the output" build startup.json -o no-such-folder/x.eep
same "bad usage" build
same "an unknown command" frobnicate
same "the version" --version
same "the help" --help
echo "compared: $(ls "$TMP/linux" | wc -l) files"

# --- vexa-cli.exe against the simulated unit ---------------------------------
# sim NAME ARGS...: starts vexa-unit-sim, its pseudo-terminal in PORT and in
# the prefix's COM5.
sim() {
  local name=$1
  shift
  "$SIM" "$@" >"$TMP/$name.sim" 2>"$TMP/$name.simlog" </dev/null &
  SIM_PID=$!
  PIDS+=("$SIM_PID")
  for _ in $(seq 100); do
    [ -s "$TMP/$name.sim" ] && break
    sleep 0.1
  done
  PORT=$(head -1 "$TMP/$name.sim")
  [ -n "$PORT" ] || { fail "vexa-unit-sim $* did not start: $(cat "$TMP/$name.simlog")"; return 1; }
  ln -sfn "$PORT" "$WINEPREFIX/dosdevices/com5"
}
# The simulator keeps its memory in its --eep file when it ends.
stop_sim() {
  kill "$SIM_PID" 2>/dev/null
  wait "$SIM_PID" 2>/dev/null
}

# on_unit SIDE ARGS...: a unit command of one side in its folder; "@PORT" is
# the simulator's device on Linux and COM5 on Windows.
on_unit() {
  local side=$1
  shift
  local args=() a
  for a in "$@"; do
    if [ "$a" = @PORT ]; then
      if [ "$side" = linux ]; then args+=("$PORT"); else args+=("COM5"); fi
    else
      args+=("$a")
    fi
  done
  if [ "$side" = linux ]; then
    (cd "$TMP/u-linux" && timeout 120 "$LCLI" "${args[@]}" >>"$TMP/u-linux.out" 2>>"$TMP/u-linux.err" </dev/null
     echo $? >>"$TMP/u-linux.rc")
  else
    (cd "$TMP/u-windows" && timeout 120 "$WINE" "$WCLI" "${args[@]}" >>"$TMP/u-windows.out" \
       2>>"$TMP/u-windows.err" </dev/null
     echo $? >>"$TMP/u-windows.rc")
  fi
}

# A session of unit commands on a fresh unit, once per side; the unit's
# memory afterwards, the files written, the texts and exit codes compared.
# Backup names carry the time and the folder separator of their system.
session() {
  local name=$1 unit=$2
  shift 2
  local side
  for side in linux windows; do
    rm -rf "$TMP/u-$side" "$TMP/u-$side".*
    mkdir -p "$TMP/u-$side"
    cp "$FIXTURES"/*.eep "$TMP/u-$side/"
    if [ -n "$unit" ]; then cp "$FIXTURES/$unit" "$TMP/$side-unit.eep"; else rm -f "$TMP/$side-unit.eep"; fi
    sim "$name-$side" --eep "$TMP/$side-unit.eep" "${SIM_ARGS[@]}" || return
    local step
    for step in "$@"; do
      # shellcheck disable=SC2086
      on_unit "$side" $step
    done
    stop_sim
  done
  # A backup made in the same second as the one before gets "_2".
  local normalise='s/([0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{6}[A-Za-z0-9_-]*)_[0-9]+\.eep/\1.eep/g; s/[0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{6}/DATE/g; s#\\#/#g'
  for part in out err rc; do
    cmp -s <(sed -E "$normalise" "$TMP/u-linux.$part") <(sed -E "$normalise" "$TMP/u-windows.$part") ||
      fail "$name: $part differs: $(diff <(sed -E "$normalise" "$TMP/u-linux.$part") \
        <(sed -E "$normalise" "$TMP/u-windows.$part") | head -6)"
  done
  cmp -s "$TMP/linux-unit.eep" "$TMP/windows-unit.eep" || fail "$name: the unit's memory differs"
  # Every file by its content; a backup by its name less the time it was made.
  listing() { (cd "$1" && find . -type f -exec sha256sum {} + | sed -E "$normalise" | sort -k2); }
  cmp -s <(listing "$TMP/u-linux") <(listing "$TMP/u-windows") ||
    fail "$name: the files differ: $(diff <(listing "$TMP/u-linux") <(listing "$TMP/u-windows"))"
  echo "$name: $(grep -c . "$TMP/u-linux.rc") commands compared, exit codes $(tr '\n' ' ' <"$TMP/u-linux.rc")"
}

echo "== vexa-cli.exe info, read, write against vexa-unit-sim on COM5"
SIM_ARGS=()
session unit "" \
  "info --port @PORT" \
  "read --port @PORT -o none.eep" \
  "write --port @PORT pumping-station.eep --backup-dir zalohy" \
  "write --port @PORT startup.eep --backup-dir zalohy" \
  "write --port @PORT pumping-station.eep --backup-dir zalohy --no-verify" \
  "write --port @PORT pumping-station.eep --backup-dir zalohy" \
  "read --port @PORT -o back.eep" \
  "read --port @PORT -o full.eep --full" \
  "diff --port @PORT pumping-station.eep" \
  "write --port @PORT bad-checksum.eep"
SIM_ARGS=(--block-delay 150-400 --slow-addresses 0-48 --seed 5)
session slow pumping-station.eep "read --port @PORT -o slow-back.eep" "write --port @PORT startup.eep --backup-dir zalohy"

echo "== A write cancelled by Ctrl+C"
for side in linux windows; do
  sim "cut-$side" --eep "$TMP/cut-$side.eep" --baud 19200 --memory-code 4 --verbose || continue
  if [ "$side" = linux ]; then
    "$LCLI" write --port "$PORT" "$FIXTURES/pumping-station.eep" >"$TMP/cut.out" 2>"$TMP/cut-$side.err" </dev/null &
  else
    "$WINE" "$WCLI" write --port COM5 "$FIXTURES/pumping-station.eep" >"$TMP/cut.out" 2>"$TMP/cut-$side.err" \
      </dev/null &
  fi
  cli=$!
  for _ in $(seq 200); do
    grep -q '^write' "$TMP/cut-$side.simlog" && break
    sleep 0.1
  done
  sleep 0.3
  # Wine turns SIGINT into the console's CTRL_C_EVENT.
  kill -INT "$cli"
  wait "$cli"
  rc=$?
  [ "$rc" -eq 3 ] || fail "$side: the cancelled write exited $rc, expected 3: $(cat "$TMP/cut-$side.err")"
  grep -qF "Ukládání dat z PC do EEPROM bylo stornováno." "$TMP/cut-$side.err" || fail "$side: no cancel message"
  sleep 0.3
  grep -v '^vexa-unit-sim' "$TMP/cut-$side.simlog" | tail -1 | grep -qx leave ||
    fail "$side: the unit was not released after Ctrl+C: $(tail -3 "$TMP/cut-$side.simlog")"
  stop_sim
  echo "$side: cancelled after $(grep -c '^write' "$TMP/cut-$side.simlog") written blocks"
done
cmp -s "$TMP/cut-linux.err" "$TMP/cut-windows.err" ||
  fail "the cancelled writes said different things: $(diff "$TMP/cut-linux.err" "$TMP/cut-windows.err")"

# A port Windows does not have: its own words, and the ports it has.
(cd "$TMP" && "$WINE" "$WCLI" info --port COM9 >/dev/null 2>"$TMP/com9.err" </dev/null)
rc=$?
[ "$rc" -eq 5 ] || fail "info on COM9 exited $rc, expected 5"
grep -qx "COM9: zařízení neexistuje. Sériové porty v systému: .*" "$TMP/com9.err" ||
  fail "info on COM9 said: $(cat "$TMP/com9.err")"

# Without --backup-dir the backup goes to the user's local application data,
# and a trace goes to a file of a UTF-8 name.
cp "$FIXTURES/pumping-station.eep" "$TMP/own.eep"
if sim own --eep "$TMP/own.eep"; then
  (cd "$TMP" && "$WINE" "$WCLI" --trace "záznam č. 1.txt" write --port COM5 "$FIXTURES/startup.eep" \
    >"$TMP/own.out" 2>"$TMP/own.err" </dev/null) || fail "write with the default backup: $(cat "$TMP/own.err")"
  backup=$(tail -1 "$TMP/own.out")
  case "$backup" in
    'C:\users\'*'\AppData\Local\VEXA Init\zalohy\'*_VEXA_*.eep) ;;
    *) fail "the backup went to $backup" ;;
  esac
  unix=$("$WINE" winepath -u "$backup" 2>/dev/null)
  cmp -s "$unix" "$FIXTURES/pumping-station.eep" || fail "the backup in $backup is not the unit's configuration"
  grep -qE ' -> .*   release(,|$)' "$TMP/záznam č. 1.txt" || fail "no trace of the release in záznam č. 1.txt"
  stop_sim
fi

echo "== A full read of a 960-byte unit at 19200 baud"
best() { sort -n | head -1; }
for side in linux windows; do
  cp "$FIXTURES/startup.eep" "$TMP/t-$side.eep"
  sim "timed-$side" --eep "$TMP/t-$side.eep" --memory-code 3 --baud 19200 || continue
  for run in 1 2 3; do
    start=$(date +%s%N)
    if [ "$side" = linux ]; then
      "$LCLI" read --port "$PORT" -o "$TMP/t-$side.read" --full >/dev/null 2>&1 </dev/null
    else
      "$WINE" "$WCLI" read --port COM5 -o "$TMP/t-$side.read" --full >/dev/null 2>&1 </dev/null
    fi
    echo $((($(date +%s%N) - start) / 1000000))
  done >"$TMP/t-$side.runs"
  best <"$TMP/t-$side.runs" >"$TMP/t-$side.ms"
  stop_sim
done
cmp -s "$TMP/t-linux.read" "$TMP/t-windows.read" || fail "the timed reads differ"
lms=$(cat "$TMP/t-linux.ms")
wms=$(cat "$TMP/t-windows.ms")
echo "read --full: vexa-cli ${lms} ms, vexa-cli.exe under Wine ${wms} ms (best of 3:" \
  "$(tr '\n' ' ' <"$TMP/t-linux.runs")/ $(tr '\n' ' ' <"$TMP/t-windows.runs"| sed 's/ $//'))"
[ $((wms * 10)) -le $((lms * 12)) ] || fail "vexa-cli.exe read took ${wms} ms, more than 1.2 times the ${lms} ms of vexa-cli"

# --- The window: vexa-init.exe -----------------------------------------------
# window_on_unit SIDE FIXTURE SIM_ARGS...: the window test of one side (the
# Windows build under Wine on COM1, the Linux build through
# ~/.vexa/dosdevices/COM1) against a fresh simulated unit holding FIXTURE;
# the unit's memory is left in $TMP/w-SIDE.eep, the test's output in
# $TMP/w-SIDE.log.
window_on_unit() {
  local side=$1 fixture=$2
  shift 2
  cp "$FIXTURES/$fixture" "$TMP/w-$side.eep"
  sim "window-$side" --eep "$TMP/w-$side.eep" "$@" || return 1
  local rc
  if [ "$side" = windows ]; then
    # The persistent server keeps COM1 where the link points.
    ln -sfn "$PORT" "$WINEPREFIX/dosdevices/com1"
    (cd "$OUT/tests" && VEXA_TEST_UNIT_FIXTURE=$fixture QT_QPA_PLATFORM=minimal timeout 300 "$WINE" ./test_e2e.exe \
      --gtest_filter='WindowOnUnitPort.*' >"$TMP/w-$side.log" 2>&1 </dev/null)
    rc=$?
  else
    mkdir -p "$TMP/home/.vexa/dosdevices"
    ln -sfn "$PORT" "$TMP/home/.vexa/dosdevices/COM1"
    (cd "$LINUX_BUILD/tests" && HOME="$TMP/home" VEXA_TEST_UNIT_FIXTURE=$fixture QT_QPA_PLATFORM=offscreen \
      timeout 300 ./test_e2e --gtest_filter='WindowOnUnitPort.*' >"$TMP/w-$side.log" 2>&1 </dev/null)
    rc=$?
  fi
  stop_sim
  return $rc
}

echo "== The window of vexa-init.exe against vexa-unit-sim on COM1"
if window_on_unit windows pumping-station.eep; then
  # Only the edited station name differs from what the unit held.
  "$LCLI" diff "$FIXTURES/pumping-station.eep" "$TMP/w-windows.eep" >"$TMP/w-diff.txt" 2>&1
  if [ "$(cat "$TMP/w-diff.txt")" = "JmenoStanice (Název stanice): 'Čerpací stanice Horní Lhota – vrt 2' → 'Čerpací stanice Dolní Lhota – vrt 3'" ]; then
    echo "test_e2e.exe: $(grep -E '^\[  PASSED  \]' "$TMP/w-windows.log"); the unit holds the edit and nothing else"
  else
    fail "the unit's memory after the window's write: $(cat "$TMP/w-diff.txt")"
  fi
else
  cat "$TMP/w-windows.log" >&2
  fail "the window test against the simulated unit (test_e2e.exe)"
fi

echo "== Activation + read of a 960-byte unit at 19200 baud from the window"
for side in linux windows; do
  window_on_unit "$side" startup.eep --memory-code 3 --baud 19200 ||
    { cat "$TMP/w-$side.log" >&2; fail "the timed window run on $side"; }
done
took() { tr -d '\r' <"$1" | sed -n 's/.*activation + read from the window: \([0-9]*\) ms.*/\1/p' | head -1; }
lwin=$(took "$TMP/w-linux.log")
wwin=$(took "$TMP/w-windows.log")
if [ -n "$lwin" ] && [ -n "$wwin" ]; then
  echo "activation + read: Linux window ${lwin} ms, vexa-init.exe's window under Wine ${wwin} ms"
  [ $((wwin * 10)) -le $((lwin * 13)) ] || fail "the window under Wine took ${wwin} ms, more than 1.3 times ${lwin} ms"
else
  fail "no time of activation + read from the windows: '${lwin}' / '${wwin}'"
fi

# window_up CLASS: waits (at most 30 s) for a visible window of that X class
# (Wine names it after the .exe); prints its id.
window_up() {
  local id
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --class "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
shot() {
  [ -n "${VEXA_WINDOWS_SHOTS:-}" ] && command -v import >/dev/null || return 0
  mkdir -p "$VEXA_WINDOWS_SHOTS"
  local window=$1 name=$2
  shift 2
  import -window "$window" "$@" "$VEXA_WINDOWS_SHOTS/$name" 2>/dev/null
}

echo "== vexa-init.exe starts"
cp "$FIXTURES/pumping-station.eep" "$TMP/čerpací stanice.eep"
start=$(date +%s%N)
(cd "$TMP" && exec "$WINE" "$WINIT" "čerpací stanice.eep" >"$TMP/init.log" 2>&1 </dev/null) &
init=$!
if id=$(window_up vexa-init); then
  echo "vexa-init.exe: first window after $((($(date +%s%N) - start) / 1000000)) ms"
  # The loaded file's message ("VEXA Init") over the window: answered with
  # Enter; then the screen where the window is.
  box=""
  for _ in $(seq 300); do
    box=$(xdotool search --onlyvisible --name '^VEXA Init$' 2>/dev/null | head -1)
    [ -n "$box" ] && break
    sleep 0.1
  done
  if [ -n "$box" ]; then
    xdotool windowfocus --sync "$box" key Return 2>/dev/null
    for _ in $(seq 50); do
      xdotool search --onlyvisible --name '^VEXA Init$' >/dev/null 2>&1 || break
      sleep 0.1
    done
    sleep 1.5
    eval "$(xdotool getwindowgeometry --shell "$id")"
    shot root window.png -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage
  else
    fail "vexa-init.exe said nothing about the file of a Czech name it was given"
  fi
else
  fail "vexa-init.exe showed no window"
fi
kill "$init" 2>/dev/null
wait "$init" 2>/dev/null

echo "== vexa-init.exe driven by its keys against vexa-unit-sim on COM1"
# answer_box TENTHS: waits that long for the program's message box ("VEXA
# Init") and answers it with Enter.
answer_box() {
  local box=""
  for _ in $(seq "$1"); do
    box=$(xdotool search --onlyvisible --name '^VEXA Init$' 2>/dev/null | head -1)
    [ -n "$box" ] && break
    sleep 0.1
  done
  [ -n "$box" ] || return 1
  xdotool windowfocus --sync "$box" key Return 2>/dev/null
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^VEXA Init$' 2>/dev/null | grep -qx "$box" || break
    sleep 0.1
  done
}
BACKUPS="$WHOME/AppData/Local/VEXA Init/zalohy"
cp "$FIXTURES/pumping-station.eep" "$TMP/keys.eep"
if sim keys --eep "$TMP/keys.eep" --verbose; then
  ln -sfn "$PORT" "$WINEPREFIX/dosdevices/com1"
  (cd "$TMP" && exec "$WINE" "$WINIT" >/dev/null 2>&1 </dev/null) &
  init=$!
  if id=$(window_up vexa-init); then
    sleep 1
    # F2 activates (its instruction answered), F5 reads (its message
    # answered), a click into the station's name and a new name typed, F6
    # writes (the unit's configuration kept first), F2 releases.
    xdotool windowfocus --sync "$id" key F2 && answer_box 100 || fail "F2 in vexa-init.exe: no activation"
    # The instruction comes first, the exchanges after it.
    for _ in $(seq 100); do
      grep -q '^memory/modem' "$TMP/keys.simlog" && break
      sleep 0.1
    done
    sleep 0.5
    xdotool windowfocus --sync "$id" key F5 && answer_box 300 || fail "F5 in vexa-init.exe: no read"
    eval "$(xdotool getwindowgeometry --shell "$id")"
    xdotool mousemove --sync $((X + 600)) $((Y + 72)) click 1 key ctrl+a type "Dolni Lhota"
    xdotool key Tab
    sleep 0.5
    xdotool windowfocus --sync "$id" key F6 && answer_box 300 || fail "F6 in vexa-init.exe: no write"
    while answer_box 20; do :; done
    xdotool windowfocus --sync "$id" key F2
    sleep 1
    answer_box 5
    # Alt+F4 closes the window, which keeps its settings through QSettings.
    xdotool windowfocus --sync "$id" key alt+F4
    answer_box 20
    for _ in $(seq 100); do
      kill -0 "$init" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$init" 2>/dev/null && fail "vexa-init.exe did not end on Alt+F4"
    tr -d '\r' <"$WHOME/.config/vexa-init/vexa-init.conf" 2>/dev/null | grep -qx 'value=COM 1' ||
      fail "vexa-init.exe remembered no port: $(cat "$WHOME/.config/vexa-init/vexa-init.conf" 2>&1)"
  else
    fail "vexa-init.exe showed no window"
  fi
  kill "$init" 2>/dev/null
  wait "$init" 2>/dev/null
  grep -v '^vexa-unit-sim' "$TMP/keys.simlog" | tail -1 | grep -qx leave ||
    fail "vexa-init.exe did not release the unit: $(tail -3 "$TMP/keys.simlog")"
  stop_sim
  "$LCLI" diff "$FIXTURES/pumping-station.eep" "$TMP/keys.eep" >"$TMP/keys.diff" 2>&1
  [ "$(cat "$TMP/keys.diff")" = "JmenoStanice (Název stanice): 'Čerpací stanice Horní Lhota – vrt 2' → 'Dolni Lhota'" ] ||
    fail "the unit after vexa-init.exe's write: $(cat "$TMP/keys.diff")"
  backup=$(ls "$BACKUPS"/*_VEXA_Cerpaci-stanice-Horni-Lhota-vrt-2.eep 2>/dev/null | head -1)
  [ -n "$backup" ] && cmp -s "$backup" "$FIXTURES/pumping-station.eep" ||
    fail "vexa-init.exe kept no backup of the unit in $BACKUPS: $(ls "$BACKUPS" 2>&1)"
  echo "vexa-init.exe: activated, read, edited, wrote with its backup and released the unit"
fi

echo "== The installer"
if [ -n "${VEXA_WINDOWS_SHOTS:-}" ]; then
  (exec "$WINE" "$SETUP" >/dev/null 2>&1 </dev/null) &
  setup=$!
  id=$(window_up "vexa-init-$VERSION-setup") && sleep 2 && shot "$id" installer.png
  kill "$setup" 2>/dev/null
  wait "$setup" 2>/dev/null
  fi
mkdir -p "$WHOME/AppData/Local/VEXA Init/zalohy"
echo keep >"$WHOME/AppData/Local/VEXA Init/zalohy/2024-01-01_000000_kept.eep"
"$WINE" "$SETUP" /S /CURRENTUSER </dev/null >/dev/null 2>&1 || fail "the silent install exited $?"
APPDIR="$WHOME/AppData/Local/Programs/VEXA Init"
LINK="$WHOME/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/VEXA Init.lnk"
UNINST='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VEXA Init'
KEYS=("$UNINST" 'HKCU\Software\Classes\VEXAInit.eep\shell\open\command' 'HKCU\Software\Classes\.eep\OpenWithProgids'
  'HKCU\Software\Classes\Applications\vexa-init.exe')
for f in vexa-init.exe vexa-cli.exe CTIMNE.txt uninstall.exe; do
  [ -f "$APPDIR/$f" ] || fail "the installer put no $f into $APPDIR"
done
[ -f "$LINK" ] || fail "no Start-menu entry"
for k in "${KEYS[@]}"; do
  "$WINE" reg query "$k" >/dev/null 2>&1 || fail "no registry key $k"
done
"$WINE" reg query "$UNINST" /v QuietUninstallString 2>/dev/null | grep -q 'uninstall.exe" /CURRENTUSER /S' ||
  fail "the programs list has no silent uninstall"
"$WINE" reg query 'HKCU\Software\Classes\.eep' /ve 2>/dev/null | grep -q VEXAInit.eep ||
  fail ".eep, owned by nobody, does not open in VEXA Init"
(cd "$TMP" && exec "$WINE" 'C:\users\'"$WUSER"'\AppData\Local\Programs\VEXA Init\vexa-init.exe' >/dev/null 2>&1 </dev/null) &
init=$!
window_up vexa-init >/dev/null && echo "the installed vexa-init.exe starts" || fail "the installed vexa-init.exe showed no window"
kill "$init" 2>/dev/null
wait "$init" 2>/dev/null
"$WINE" 'C:\users\'"$WUSER"'\AppData\Local\Programs\VEXA Init\uninstall.exe' /CURRENTUSER /S </dev/null >/dev/null 2>&1
# The uninstaller runs on from a copy of itself in the temporary folder:
# its files go first, its keys last.
for _ in $(seq 300); do
  [ -e "$APPDIR" ] || break
  sleep 0.1
done
for _ in $(seq 60); do
  "$WINE" reg query "$UNINST" >/dev/null 2>&1 || break
  sleep 0.5
done
[ ! -e "$APPDIR" ] || fail "the uninstaller left $(ls "$APPDIR")"
[ ! -e "$LINK" ] || fail "the uninstaller left the Start-menu entry"
for k in "${KEYS[@]}" 'HKCU\Software\Classes\.eep'; do
  ! "$WINE" reg query "$k" >/dev/null 2>&1 || fail "the uninstaller left $k"
done
[ -f "$WHOME/AppData/Local/VEXA Init/zalohy/2024-01-01_000000_kept.eep" ] || fail "the uninstaller removed the backups"
echo "installer: silent install and uninstall for the user checked"
# Run as an administrator (every Wine user is one), it installs for all users.
"$WINE" "$SETUP" /S </dev/null >/dev/null 2>&1 || fail "the silent install for all users exited $?"
ALLDIR="$WINEPREFIX/drive_c/Program Files/VEXA Init"
ALLLINK="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/VEXA Init.lnk"
ALLKEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VEXA Init'
[ -f "$ALLDIR/vexa-init.exe" ] && [ -f "$ALLLINK" ] && "$WINE" reg query "$ALLKEY" >/dev/null 2>&1 ||
  fail "the installer run by an administrator did not install for all users"
"$WINE" 'C:\Program Files\VEXA Init\uninstall.exe' /ALLUSERS /S </dev/null >/dev/null 2>&1
# The uninstaller runs on from its copy: its files go first, its keys last.
all_gone() {
  [ ! -e "$ALLDIR" ] && [ ! -e "$ALLLINK" ] && ! "$WINE" reg query "$ALLKEY" >/dev/null 2>&1 &&
    ! "$WINE" reg query 'HKLM\Software\Classes\VEXAInit.eep' >/dev/null 2>&1
}
for _ in $(seq 60); do
  all_gone && break
  sleep 0.5
done
all_gone || fail "the uninstaller for all users left something behind"
echo "installer: silent install and uninstall for all users checked"
echo "Windows stage: $(($(date +%s) - STAGE_START)) s"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "Windows: all passed"
