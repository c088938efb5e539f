#!/usr/bin/env bash
# vexa-cli report: the printed report of a configuration file as a PDF.
# usage: report_cli.sh BUILD_DIR FIXTURES_DIR
. "$(dirname "$0")/lib.sh"
FIX=$FIXTURES
WORK=$TMP
export QT_QPA_PLATFORM=offscreen

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

# Every command, name and text of the printed rows, whole: a wrapped text
# reads whole again once the blanks and line ends are taken out (pdftotext
# -raw keeps the order in which the cells print their lines).
printed_texts() {
  jq -r '(.general | .JmenoStanice, .PIN, .TCcentra, .rtSwitchOn, .rtSwitchOff, .rtPowerUp, .rtPowerDown),
    .analogs[7].AINCL1Dn,
    (.inputs[0:4][] | .INPNazev, .INPVyp, .INPZap, .INPLH, .INPHL),
    (.outputs[0:2][] | .OUTNazev, .OUTVyp, .OUTZap, .OUTimpuls, .OUTimpulsLEN),
    (.analogs[0] | .AINNazev, .AINStateH, .AINStateM, .AINStateL,
      (select(.AINCL1UpEvent) | .AINCL1Up), (select(.AINCL1DnEvent) | .AINCL1Dn),
      (select(.AINCL2UpEvent) | .AINCL2Up), (select(.AINCL2DnEvent) | .AINCL2Dn)),
    .phones[].TC | select(. != "")' "$1"
}
# check_whole CONFIG.json REPORT.pdf
check_whole() {
  local flat
  flat=$(pdftotext -raw "$2" - | tr -d ' \n')
  while IFS= read -r t; do
    grep -qF -- "$(tr -d ' ' <<<"$t")" <<<"$flat" || fail "$(basename "$1"): not whole in the report: $t"
  done < <(printed_texts "$1")
}
# check_heads REPORT.pdf: every page with a table's rows has its heads.
check_heads() {
  local n headed=0 p page label head
  n=$(pages "$1")
  for ((p = 1; p <= n; p++)); do
    page=$(pdftotext -raw -f "$p" -l "$p" "$1" -)
    for table in "I[1-4]|0->1" "O[12]|Impuls" "T[1-8]|Příjem příkazů"; do
      label=${table%%|*} head=${table#*|}
      grep -qE "^($label)( |\$)" <<<"$page" || continue
      grep -qF -- "$head" <<<"$page" || fail "page $p of $(basename "$1") continues a table without its heads ($head)"
      headed=$((headed + 1))
    done
  done
  echo "$headed"
}

if command -v jq >/dev/null; then
  for f in startup pumping-station over-unit-image; do
    expect_exit 0 "report $f" -- "$CLI" report "$FIX/$f.eep" -o "$WORK/$f.pdf"
    check_whole "$FIX/$f.json" "$WORK/$f.pdf"
    check_heads "$WORK/$f.pdf" >/dev/null
  done
  # The pumping station with texts of the full 100 characters: rows grow
  # over several lines and the tables continue on further pages.
  jq '(.inputs[0:4][], .outputs[0:2][], .analogs[0]) |= with_entries(
        if (.value | type) == "string" and (.key | test("Level$|LEN$") | not)
        then .value = (.value + " " + .key + " " + (.value * 12))[0:100] else . end)' \
    "$FIX/pumping-station.json" >"$WORK/long.json"
  expect_exit 0 "build long texts" -- "$CLI" build "$WORK/long.json" -o "$WORK/long.eep" --force
  expect_exit 0 "report long texts" -- "$CLI" report "$WORK/long.eep" -o "$WORK/long.pdf"
  check_whole "$WORK/long.json" "$WORK/long.pdf"
  [ "$(check_heads "$WORK/long.pdf")" -gt 3 ] || fail "long texts: no table continues onto a next page"
else
  echo "jq missing: whole-text checks skipped"
fi

# Refused input and bad usage: no report written.
# exit code | arguments of report (word-split)
while IFS='|' read -r rc args; do
  # shellcheck disable=SC2086
  expect_exit "$rc" "report $args" -- "$CLI" report $args
done <<CASES
4|$FIX/truncated.eep -o $WORK/t.pdf
4|$FIX/bad-checksum.eep -o $WORK/t.pdf
2|$FIX/pumping-station.eep
2|$FIX/pumping-station.eep -o $WORK/t.pdf --copies 0
2|$FIX/pumping-station.eep -o $WORK/t.pdf --copies two
4|$FIX/pumping-station.eep -o $WORK/no/such/dir/r.pdf
CASES
[ -e "$WORK/t.pdf" ] && fail "a refused report was written"

# A disk that cannot take the report: a message and exit 4, never an empty PDF.
expect_exit 4 "report to /dev/full" -- timeout 20 "$CLI" report "$FIX/pumping-station.eep" -o /dev/full
grep -q . "$WORK/err" || fail "report to /dev/full says nothing"
"$CLI" report "$FIX/pumping-station.eep" -o - 2>/dev/null | head -c 5 | grep -q '%PDF-' || fail "report -o - is no PDF"

finish "report cli"
