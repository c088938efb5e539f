#!/usr/bin/env bash
# vexa-cli write keeps a backup of the unit, read reads only what it needs
# unless --full, and diff compares files, JSON and a unit.
. "$(dirname "$0")/lib.sh"

# diff of files and JSON, without a unit.
# A file against itself, and a JSON against the file built from it (a report
# flag stored only with its text reads as the file holds it): the same.
for pair in "pumping-station.eep pumping-station.eep" "startup.json startup.eep"; do
  set -- $pair
  run 0 diff "$FIXTURES/$1" "$FIXTURES/$2"
  [ ! -s "$TMP/out" ] || fail "diff $pair printed: $(cat "$TMP/out")"
done
run 1 diff "$FIXTURES/pumping-station.eep" "$FIXTURES/over-unit-image.json"
grep -qxF "outputFunctionByte.bit0 (O1 Indikace stavu modemu): 'ano' → 'ne'" "$TMP/out" || fail "diff line: $(cat "$TMP/out")"
[ "$(wc -l <"$TMP/out")" -eq 10 ] || fail "diff gave $(wc -l <"$TMP/out") lines, expected 10"
run 1 diff --json "$FIXTURES/startup.eep" "$FIXTURES/pumping-station.eep"
python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert d[0]=={"field":"JmenoStanice","caption":"Název stanice","a":"","b":"Čerpací stanice Horní Lhota – vrt 2"}, d[0]' "$TMP/out" ||
  fail "diff --json: $(head -c 300 "$TMP/out")"
run 4 diff "$FIXTURES/startup.eep" "$FIXTURES/truncated.eep"
run 2 diff "$FIXTURES/startup.eep"

start_sim sim --eep "$TMP/unit.eep"
PORT=$PORT_sim

# Nothing to keep from a unit never programmed.
run 0 write --port "$PORT" "$FIXTURES/pumping-station.eep" --backup-dir "$TMP/backups"
grep -q '\.eep$' "$TMP/out" && fail "a backup was named for an empty unit: $(cat "$TMP/out")"

# The unit's configuration is kept before it is overwritten.
run 0 write --port "$PORT" "$FIXTURES/startup.eep" --backup-dir "$TMP/backups"
backup=$(tail -1 "$TMP/out")
case "$backup" in
  "$TMP"/backups/20??-??-??_??????_VEXA_Cerpaci-stanice-Horni-Lhota-vrt-2.eep) ;;
  *) fail "backup path: '$backup'" ;;
esac
grep -qF "Předchozí nastavení zařízení je zálohováno v souboru $backup." "$TMP/err" || fail "no backup line: $(cat "$TMP/err")"
run 0 diff "$backup" "$FIXTURES/pumping-station.eep"

# A backup that cannot be kept stops the write unless --no-backup.
touch "$TMP/blocked"
run 4 write --port "$PORT" "$FIXTURES/pumping-station.eep" --backup-dir "$TMP/blocked/sub"
grep -qF "Zálohu nastavení zařízení se nepodařilo uložit. Pokračovat v zápisu bez zálohy?" "$TMP/err" ||
  fail "no backup question: $(cat "$TMP/err")"
grep -qF "$TMP/blocked: není to složka." "$TMP/err" || fail "no reason beneath the backup question: $(cat "$TMP/err")"
run 0 diff --port "$PORT" "$FIXTURES/startup.eep"
run 0 write --port "$PORT" "$FIXTURES/pumping-station.eep" --backup-dir "$TMP/blocked/sub" --no-backup
run 1 diff "$FIXTURES/startup.eep" --port "$PORT"

# The quick read saves the file the full read saves.
run 0 read --port "$PORT" -o "$TMP/quick.eep"
run 0 read --port "$PORT" -o "$TMP/full.eep" --full
cmp -s "$TMP/quick.eep" "$TMP/full.eep" || fail "quick and full read saved different files"
finish backup_diff_cli
