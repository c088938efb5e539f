#!/usr/bin/env bash
# vexa-cli check: offences as "field[row]: message", exit 1 when any, 0 when
# none, 2 when the file is not a configuration.
. "$(dirname "$0")/lib.sh"

# expect_run EXPECTED_RC EXPECTED_STDOUT_FILE ARGS...
expect_run() {
  local rc_expected=$1 out_expected=$2
  shift 2
  "$CLI" "$@" >"$TMP/out" 2>"$TMP/err"
  local rc=$?
  [ "$rc" -eq "$rc_expected" ] || fail "check $* exited $rc, expected $rc_expected ($(cat "$TMP/err"))"
  if [ -n "$out_expected" ]; then
    diff -u "$out_expected" "$TMP/out" >&2 || fail "check $*: standard output differs"
  fi
}

: >"$TMP/empty"

# Configurations within the rules, as JSON and as saved files.
echo '{}' >"$TMP/startup-only.json"
for f in "$FIXTURES"/{startup,pumping-station,over-unit-image}.{json,eep} "$TMP/startup-only.json"; do
  expect_run 0 "$TMP/empty" check "$f"
done

# Offences, in tab order, then the output checks of the write.
sed -e 's/"PIN": "1234"/"PIN": "12a4"/' \
    -e 's/"INPNazev": "Voda"/"INPNazev": "st"/' \
    -e 's/"OUTZap": "ON_SVETLO"/"OUTZap": "OFF_SVETLO"/' \
    -e 's/"rtPowerUp": "Sit obnovena"/"rtPowerUp": "Sit \\"obnovena\\""/' \
    "$FIXTURES/pumping-station.json" >"$TMP/bad.json"
cat >"$TMP/bad.expected" <<'EOF'
PIN: PIN je špatně zadán.
Nepovolený znak: „a“.
rtPowerUp: Text může obsahovat pouze tyto znaky:  !#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]\^_`abcdefghijklmnopqrstuvwxyz{}|~
Nepovolený znak: „"“.
INPNazev[2]: Název vstupu nesmí být žádné z těchto klíčových slov (ani jejich předpony): STATE;STAV;BACK;NOBACK;RESET;SHUTDOWN;NAME;ZPET;NEZPET;JMENO
OUTZap[1]: Název 'Zapnuto' nesmí být prefixem názvu 'Vypnuto' ani naopak.
OUTZap[1]: Název 'Zapnuto' výstupu 'O2' není správně zadán. Povel pro zapnutí se musí lišit od povelu pro vypnutí i impuls a nesmí být předponou názvu některého výstupu. EEPROM nelze naprogramovat dokud toto nebude odstraněno.
Je stejný jako název 'Vypnuto' téhož výstupu O2 („OFF_SVETLO“).
OUTVyp[1]: Název 'Vypnuto' výstupu 'O2' není správně zadán. Povel pro vypnutí se musí lišit od povelu pro impuls i zapnutí a nesmí být předponou názvu některého výstupu. EEPROM nelze naprogramovat dokud toto nebude odstraněno.
Je stejný jako název 'Zapnuto' téhož výstupu O2 („OFF_SVETLO“).
EOF
expect_run 1 "$TMP/bad.expected" check "$TMP/bad.json"

# A name that begins another output's command, in a saved file: build it
# anyway and check the file.
sed -e 's/"OUTZap": "ZAP_CERPADLO"/"OUTZap": "svetlo_zap"/' "$FIXTURES/pumping-station.json" >"$TMP/prefix.json"
cat >"$TMP/prefix.expected" <<'EOF'
OUTNazev[1]: Název výstupu 'O2' není správně zadán. Jména výstupů se nesmějí shodovat a ani být předponou jiného názvu výstupu. EEPROM nelze naprogramovat dokud toto nebude odstraněno.
Je předponou názvu 'Zapnuto' výstupu O1 („svetlo_zap“).
EOF
expect_run 1 "$TMP/prefix.expected" check "$TMP/prefix.json"
if "$CLI" build "$TMP/prefix.json" -o "$TMP/prefix.eep" --force 2>/dev/null; then
  expect_run 1 "$TMP/prefix.expected" check "$TMP/prefix.eep"
else
  fail "build --force of prefix.json"
fi

# Not a configuration: the message of dump, exit 4, nothing on standard output
# (a JSON that is none: the table at the end).
for f in "$FIXTURES"/{truncated,bad-checksum,unit-read-base}.eep "$TMP/missing.eep"; do
  expect_run 4 "$TMP/empty" check "$f"
  "$CLI" dump "$f" 2>"$TMP/dump.err" >/dev/null
  diff -u "$TMP/dump.err" "$TMP/err" >&2 || fail "check $f: message differs from dump's"
done
expect_run 2 "" check
expect_run 2 "" check a.json b.json

# What the window rewrites when a field is left: check lists it, build applies
# it (the change on standard error) and the built file holds the new value.
# What the window would not let one type: check lists it, build refuses it.
# JSON general fields | line check prints | value in the built file ("" = refused)
while IFS='|' read -r fields line built; do
  echo "{\"general\": {$fields}}" >"$TMP/norm.json"
  "$CLI" check "$TMP/norm.json" >"$TMP/out" 2>&1
  rc=$?
  [ "$rc" -eq 1 ] && grep -qF -- "$line" "$TMP/out" || fail "check {$fields}: exit $rc, $(cat "$TMP/out")"
  rm -f "$TMP/norm.eep"
  "$CLI" build "$TMP/norm.json" -o "$TMP/norm.eep" 2>"$TMP/err"
  rc=$?
  if [ -n "$built" ]; then
    [ "$rc" -eq 0 ] && grep -qF -- "$line" "$TMP/err" || fail "build {$fields}: exit $rc, $(cat "$TMP/err")"
    "$CLI" dump "$TMP/norm.eep" | grep -qF -- "$built" || fail "build {$fields} does not hold $built"
  else
    [ "$rc" -eq 4 ] && [ ! -e "$TMP/norm.eep" ] || fail "build {$fields} not refused: exit $rc"
  fi
done <<'CASES'
"DobaPlatnostiSMS": "45"|DobaPlatnostiSMS: '45' → '30'|"DobaPlatnostiSMS": "30"
"DobaPlatnostiSMS": "0"|DobaPlatnostiSMS: '0' → '1'|"DobaPlatnostiSMS": "1"
"PSOnH": "0", "PSOnM": "0"|PSOnM: '0' → '5'|"PSOnM": "5"
"PSOffH": "0", "PSOffM": "2"|PSOffM: '2' → '5'|"PSOffM": "5"
"PSOnH": "1", "PSOnM": "125"|PSOnM: '125' → '5'|"PSOnH": "3"
"PIN": "123456789"|PIN: Text má 9 znaků, napsat lze nejvýše 8.|
"JmenoStanice": "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"|JmenoStanice: Text má 101 znaků, napsat lze nejvýše 100.|
CASES
printf '{"phones": [{"TC": "123456789012345678901234567890123456789012345678901"}, {"TC": "+", "TCPrijem": true, "TCUdalost": true}]}' >"$TMP/phones.json"
"$CLI" check "$TMP/phones.json" >"$TMP/out"
grep -qF "TC[0]: Text má 51 znaků, napsat lze nejvýše 50." "$TMP/out" || fail "51-digit phone number passes check"
grep -qF "TCPrijem[1]: 'true' → 'false'" "$TMP/out" || fail "'+' alone keeps its ticked boxes: $(cat "$TMP/out")"

# --strict names the keys a JSON leaves out.
echo '{"general": {}, "phones": []}' >"$TMP/partial.json"
expect_run 0 "$TMP/empty" check "$TMP/partial.json"
"$CLI" check --strict "$TMP/partial.json" >"$TMP/out"
for key in general.PIN "phones\[7\]" inputs analogs; do
  grep -q "^$key: v konfiguraci chybí, platí hodnota po spuštění.$" "$TMP/out" || fail "check --strict misses $key: $(head -3 "$TMP/out")"
done

# Every line check prints about a JSON it refuses or warns about is in the
# user's language: the loader's line, exact, and no English word on any line.
# exit code | JSON | a line on standard error (@ = the file)
english='the|must|is|not|key|unknown|valid|warning|given|longer|bytes|object|array|string|number|cannot|failed'
while IFS='|' read -r rc json line; do
  printf '%s' "$json" >"$TMP/czech.json"
  "$CLI" check "$TMP/czech.json" >"$TMP/out" 2>"$TMP/err"
  got=$?
  [ "$got" -eq "$rc" ] || fail "check $json exited $got, expected $rc"
  [ "$rc" -eq 4 ] && [ -s "$TMP/out" ] && fail "check $json wrote to standard output"
  grep -qxF -- "${line//@/$TMP/czech.json}" "$TMP/err" || fail "check $json: '$line' not in $(cat "$TMP/err")"
  grep -wiE "$english" "$TMP/out" "$TMP/err" && fail "check $json printed English"
done <<'CASES'
4|{"general": |@: není platný JSON (řádek 1, sloupec 13).
4|[1, 2]|@: konfigurace musí být objekt JSON.
4|{"general": {"NoSuchField": 1}}|@: neznámý klíč 'general.NoSuchField'.
4|{"general": []}|@: 'general' musí být objekt.
4|{"general": {"PIN": 1234}}|@: 'general.PIN' musí být text.
4|{"general": {"PSOnH": true}}|@: 'general.PSOnH' musí být číslo nebo text.
4|{"general": {"PINAuth": 1}}|@: 'general.PINAuth' musí být true nebo false.
4|{"phones": {}}|@: 'phones' musí být pole nejvýše 8 řádků.
4|{"analogs": [{"sendAtOnceByte": 256}]}|@: 'analogs[0].sendAtOnceByte' musí být celé číslo od 0 do 255.
1|{"general": {"PIN": "1", "PIN": "123456789a"}}|@: upozornění: klíč 'general.PIN' je uveden dvakrát, platí poslední hodnota.
CASES

finish check
