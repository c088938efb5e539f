#!/usr/bin/env bash
# vexa-cli dump and build against the golden configuration files.
# usage: codec_cli.sh BUILD_DIR FIXTURES_DIR
. "$(dirname "$0")/lib.sh"
FIX=$FIXTURES
WORK=$TMP

# Loading each file gives its dump, with a final newline on standard output.
for name in startup pumping-station over-unit-image; do
  expect_exit 0 "dump $name" -- "$CLI" dump "$FIX/$name.eep"
  { cat "$FIX/$name.dump.json"; echo; } | cmp -s - "$WORK/out" || fail "dump $name differs from $name.dump.json"
  [ -s "$WORK/err" ] && fail "dump $name wrote to standard error"
done

# Encoding each JSON gives its file byte for byte.
# golden name | output | options (word-split)
while IFS='|' read -r name out options; do
  # shellcheck disable=SC2086
  expect_exit 0 "build $name" -- "$CLI" build "$FIX/$name.json" $options -o "$WORK/$out.eep"
  cmp -s "$WORK/$out.eep" "$FIX/$name.eep" || fail "build $name differs"
done <<CASES
startup|startup|
pumping-station|ps|
over-unit-image|over|--base $FIX/unit-read-base.eep
CASES

# Building replaces an existing output file.
printf 'old' >"$WORK/replace.eep"
expect_exit 0 "build over an existing file" -- "$CLI" build "$FIX/startup.json" -o "$WORK/replace.eep"
cmp -s "$WORK/replace.eep" "$FIX/startup.eep" || fail "existing output was not replaced"

# For every file the program writes, build --base F of dump F gives F back.
for f in "$FIX/startup.eep" "$FIX/pumping-station.eep" "$FIX/over-unit-image.eep" \
  "$WORK/startup.eep" "$WORK/ps.eep" "$WORK/over.eep"; do
  base=$(basename "$f" .eep)
  "$CLI" dump "$f" >"$WORK/rt-$base.json" || fail "dump $f"
  expect_exit 0 "rebuild $f" -- "$CLI" build "$WORK/rt-$base.json" --base "$f" -o "$WORK/rt-$base.eep"
  cmp -s "$WORK/rt-$base.eep" "$f" || fail "dump then build --base of $f does not give it back"
done

# Files that are not valid configurations, the last a valid header over a
# damaged text area: the format message, the reason beneath it, exit 4.
cp "$FIX/pumping-station.eep" "$WORK/bad-phone.eep"
printf 'Z' | dd of="$WORK/bad-phone.eep" bs=1 seek=$((0x02ED)) conv=notrunc status=none
while IFS='|' read -r f why; do
  expect_exit 4 "dump $f" -- "$CLI" dump "$f"
  want="Data v souboru '$f' nejsou v pořádku - neodpovídají formátu EEPROM.
$why"
  [ "$(cat "$WORK/err")" = "$want" ] || fail "dump $f message: $(cat "$WORK/err")"
  [ -s "$WORK/out" ] && fail "dump $f wrote to standard output"
done <<FILES
$FIX/truncated.eep|Soubor končí dříve než data nastavení.
$FIX/bad-checksum.eep|Záhlaví dat neprošlo kontrolou.
$WORK/bad-phone.eep|TC[0]: počet číslic v záznamu čísla není šestnáctkové číslo (adresa 0x02ED).
FILES

# An unreadable file, one longer than the image, a folder, a FIFO, a device:
# the load error with the reason beneath it, exit 4.
head -c 65537 /dev/zero >"$WORK/long.eep"
mkfifo "$WORK/pipe.eep"
while IFS='|' read -r f why; do
  expect_exit 4 "dump $f" -- "$CLI" dump "$f"
  want="Při načítání nastavení programu ze souboru '$f' nastala chyba.
$f: $why."
  [ "$(cat "$WORK/err")" = "$want" ] || fail "dump $f message: $(cat "$WORK/err")"
done <<FILES
$WORK/missing.eep|soubor neexistuje
$WORK/long.eep|soubor je větší než 65536 bajtů
$WORK|je to složka, ne soubor
$WORK/pipe.eep|je to roura (FIFO), ne soubor
/dev/zero|je to zařízení, ne soubor
FILES
expect_exit 4 "build with a missing base" -- \
  "$CLI" build "$FIX/startup.json" --base "$WORK/missing.eep" -o "$WORK/x.eep"
grep -qF "ze souboru '$WORK/missing.eep' nastala chyba." "$WORK/err" || fail "missing base message"

# JSON errors name the key.
# JSON | the key
while IFS='|' read -r json key; do
  printf '%s' "$json" >"$WORK/bad.json"
  expect_exit 4 "build $json" -- "$CLI" build "$WORK/bad.json" -o "$WORK/bad.eep"
  grep -qF "$key" "$WORK/err" || fail "error for $json does not name $key: $(cat "$WORK/err")"
  [ -e "$WORK/bad.eep" ] && fail "a refused build wrote $json"
done <<'CASES'
{"general": {"Pin": "1"}}|general.Pin
{"inputs": [{"INPNeg": "yes"}]}|inputs[0].INPNeg
{"analogs": [{}, {"sendAtOnceByte": 300}]}|analogs[1].sendAtOnceByte
{"rtBattLow": "x"}|rtBattLow
CASES

# Keys missing from the JSON take their start-up values.
printf '{}' >"$WORK/empty.json"
expect_exit 0 "build {}" -- "$CLI" build "$WORK/empty.json" -o "$WORK/empty.eep"
cmp -s "$WORK/empty.eep" "$FIX/startup.eep" || fail "{} does not build the start-up file"

# Offences against the field rules refuse the build unless forced.
printf '{"general": {"PIN": "12ab"}}' >"$WORK/offence.json"
expect_exit 4 "build with an offence" -- "$CLI" build "$WORK/offence.json" -o "$WORK/offence.eep"
grep -q '^PIN: ' "$WORK/err" || fail "offence not listed as field: message: $(cat "$WORK/err")"
[ -e "$WORK/offence.eep" ] && fail "a refused build wrote its file"
expect_exit 0 "build --force" -- "$CLI" build "$WORK/offence.json" -o "$WORK/offence.eep" --force
"$CLI" dump "$WORK/offence.eep" | grep -q '"PIN": "12ab"' || fail "forced build lost the PIN"

# A configuration the encoder cannot convert: the message, the field and
# why beneath it.
# JSON | the reason line
while IFS='|' read -r json why; do
  printf '%s' "$json" >"$WORK/noconv.json"
  expect_exit 4 "build $json" -- "$CLI" build "$WORK/noconv.json" -o "$WORK/noconv.eep" --force
  grep -qxF "Nastala chyba při převodu dat." "$WORK/err" && grep -qxF -- "$why" "$WORK/err" ||
    fail "build $json: conversion error: $(cat "$WORK/err")"
done <<'CASES'
{"general": {"DobaPlatnostiSMS": "abc"}}|DobaPlatnostiSMS: není to počet dní, který zařízení uloží (nejvýše 89).
{"inputs": [{}, {"INPZap": "a\u0000b"}]}|INPZap[1]: text obsahuje znak NUL.
CASES

# Hostile inputs and outputs, and usage errors: a message and an exit code
# within seconds.
mkfifo "$WORK/fifo" "$WORK/fifo.json"
head -c 5000000 /dev/zero | tr '\0' ' ' >"$WORK/huge.json"
mkdir "$WORK/folder.json"
# exit code | command line (word-split)
while IFS='|' read -r want args; do
  # shellcheck disable=SC2086
  timeout 5 "$CLI" $args >"$WORK/out" 2>"$WORK/err"
  got=$?
  [ "$got" -eq "$want" ] || fail "$args: exit $got, expected $want"
  [ -s "$WORK/err" ] || fail "$args: no message"
done <<CASES
4|check $WORK/folder.json
4|build $WORK/folder.json -o $WORK/x.eep
4|check $WORK
4|dump $WORK
4|check $WORK/fifo
4|check $WORK/fifo.json
4|build $WORK/fifo.json -o $WORK/x.eep
4|dump $WORK/fifo
4|check /dev/zero
4|build /dev/zero -o $WORK/x.eep
4|check $WORK/huge.json
4|build $FIX/startup.json -o /dev/full
4|build $FIX/startup.json -o $WORK/no-such-folder/x.eep
4|build $FIX/startup.json -o $WORK/folder.json
2|build $FIX/startup.json
2|dump
CASES
[ -e "$WORK/x.eep" ] && fail "a refused build wrote its file"

# Standard output that takes nothing (a full disk): the same message and
# exit 4 whatever the command printed.
for args in "dump $FIX/startup.eep" "diff $FIX/startup.eep $FIX/pumping-station.eep" "build $FIX/startup.json -o -" \
  "--version" "dump --help"; do
  # shellcheck disable=SC2086
  timeout 5 "$CLI" $args >/dev/full 2>"$WORK/err"
  got=$?
  [ "$got" -eq 4 ] || fail "$args >/dev/full: exit $got, expected 4"
  grep -qxF "vexa-cli: na standardní výstup nelze zapisovat" "$WORK/err" || fail "$args >/dev/full: $(cat "$WORK/err")"
done
ls "$WORK" | grep -q '\.tmp$' && fail "a temporary file was left behind"

# Another user's link in a shared sticky folder is not followed (root can
# plant one); the user's own link is, and a new file gets 0644 under umask 022.
echo keep >"$WORK/victim.txt"
mkdir -m 1777 "$WORK/shared"
ln -s "$WORK/victim.txt" "$WORK/shared/planted.eep"
if chown -h 4242 "$WORK/shared/planted.eep" 2>/dev/null; then
  for cmd in "build $FIX/startup.json -o" "report $FIX/startup.eep -o"; do
    # shellcheck disable=SC2086
    expect_exit 4 "$cmd planted link" -- "$CLI" $cmd "$WORK/shared/planted.eep"
    grep -qF "$WORK/shared/planted.eep: odkaz ve sdílené složce patří jinému uživateli" "$WORK/err" ||
      fail "$cmd through a planted link: $(cat "$WORK/err")"
  done
  [ "$(cat "$WORK/victim.txt")" = keep ] || fail "a planted link's target was replaced"
fi
ln -s "$WORK/victim.txt" "$WORK/own.eep"
(umask 022 && "$CLI" build "$FIX/startup.json" -o "$WORK/own.eep" && "$CLI" build "$FIX/startup.json" -o "$WORK/new.eep") ||
  fail "build through an own link"
cmp -s "$WORK/victim.txt" "$FIX/startup.eep" || fail "build through an own link did not replace its target"
[ "$(stat -c %a "$WORK/new.eep")" = 644 ] || fail "a new build output has mode $(stat -c %a "$WORK/new.eep")"

# "-o -" writes to standard output.
"$CLI" build "$FIX/startup.json" -o - | cmp -s - "$FIX/startup.eep" || fail "build -o - differs"

# Conventions: --version, and --help for every command, which never runs it.
expect_exit 0 "--version" -- "$CLI" --version
grep -q '^vexa-cli [0-9]' "$WORK/out" || fail "--version: $(cat "$WORK/out")"
for cmd in dump build check info read write report; do
  expect_exit 0 "$cmd --help" -- "$CLI" "$cmd" --help
  grep -q "^usage: vexa-cli $cmd" "$WORK/out" || fail "$cmd --help: $(cat "$WORK/out")"
done
"$CLI" build --help | grep -qF "keep their start-up values" || fail "build --help does not say what missing keys do"

finish codec_cli
