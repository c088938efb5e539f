#!/usr/bin/env bash
# vexa-cli report: the printed report of a configuration file as a PDF.
# usage: report_cli.sh BUILD_DIR FIXTURES_DIR
set -u
BUILD=$1
FIX=$2
CLI="$BUILD/tools/vexa-cli"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/vexa-report-cli.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# expect_exit CODE DESCRIPTION -- command...
expect_exit() {
  local want=$1 what=$2
  shift 3
  "$@" >"$WORK/out" 2>"$WORK/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "$what: exit $got, expected $want ($(head -c 300 "$WORK/err"))"
}

pages() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'; }

if ! command -v pdftotext >/dev/null || ! command -v pdfinfo >/dev/null; then
  echo "poppler-utils missing: skipped"
  exit 0
fi

# One copy: two pages, every section, the header with the station's first
# 20 characters on each page.
expect_exit 0 "report pumping-station" -- "$CLI" report "$FIX/pumping-station.eep" -o "$WORK/ps.pdf"
[ "$(pages "$WORK/ps.pdf")" = 2 ] || fail "pumping-station report is not 2 pages"
pdftotext -layout "$WORK/ps.pdf" "$WORK/ps.txt"
text=$(tr -s ' ' <"$WORK/ps.txt")
for s in "Všeobecné" "SMS zprávy" "Logické vstupy" "Logické výstupy" "Analogové vstupy" "Telefonní čísla" \
  "VEXA Init stanice: Čerpací stanice Horn 1. stránka" "VEXA Init stanice: Čerpací stanice Horn 2. stránka" \
  "Doba platnosti SMS zpráv je 7 dnů." "Název A1: 'Hladina'" "CL1 (20 ± 2)%"; do
  grep -qF -- "$s" <<<"$text" || fail "report lacks: $s"
done
# Only the editable rows: no I5, O3 or A2.
for s in "I5 " "O3 " "Název A2"; do
  grep -qF -- "$s" <<<"$text" && fail "report shows a disabled row: $s"
done

# Three copies: consecutive in the file, each from its page 1.
expect_exit 0 "report --copies 3" -- "$CLI" report "$FIX/pumping-station.eep" -o "$WORK/three.pdf" --copies 3
[ "$(pages "$WORK/three.pdf")" = 6 ] || fail "three copies are not 6 pages"
[ "$(pdftotext "$WORK/three.pdf" - | grep -c '1\. stránka')" = 3 ] || fail "three copies do not each start at page 1"

# Refused input and bad usage.
expect_exit 2 "truncated file" -- "$CLI" report "$FIX/truncated.eep" -o "$WORK/t.pdf"
[ -e "$WORK/t.pdf" ] && fail "a report was written for a truncated file"
expect_exit 2 "bad checksum" -- "$CLI" report "$FIX/bad-checksum.eep" -o "$WORK/b.pdf"
# A disk that cannot take the report: a message and exit 1, never an empty PDF.
expect_exit 1 "report to /dev/full" -- timeout 20 "$CLI" report "$FIX/pumping-station.eep" -o /dev/full
grep -q . "$WORK/err" || fail "report to /dev/full says nothing"
"$CLI" report "$FIX/pumping-station.eep" -o - 2>/dev/null | head -c 5 | grep -q '%PDF-' || fail "report -o - is no PDF"
expect_exit 2 "no output" -- "$CLI" report "$FIX/pumping-station.eep"
expect_exit 2 "copies 0" -- "$CLI" report "$FIX/pumping-station.eep" -o "$WORK/z.pdf" --copies 0
expect_exit 2 "copies text" -- "$CLI" report "$FIX/pumping-station.eep" -o "$WORK/z.pdf" --copies two
expect_exit 1 "unwritable output" -- "$CLI" report "$FIX/pumping-station.eep" -o "$WORK/no/such/dir/r.pdf"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)" >&2
  exit 1
fi
echo "report cli: all passed"
