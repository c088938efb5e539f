#!/usr/bin/env bash
# vexa-cli info / read / write against vexa-unit-sim on a pseudo-terminal:
# exit codes 0 success, 1 the unit failed, 2 bad usage, 3 cancelled, 4 a file
# refused, 5 the port would not open;
# the program's messages on standard error; the unit released afterwards.
. "$(dirname "$0")/lib.sh"

# start_cli ARGS...: vexa-cli in the background (pid in cli, killed after 60 s); wait_cli sets rc.
start_cli() {
  "$CLI" "$@" >"$TMP/out" 2>"$TMP/err" </dev/null &
  cli=$!
  ( sleep 60; kill -9 "$cli" ) >/dev/null 2>&1 &
  watchdog=$!
}
wait_cli() {
  wait "$cli"
  rc=$?
  pkill -P "$watchdog" 2>/dev/null; kill "$watchdog" 2>/dev/null
}

expect_err() {
  grep -qF -- "$1" "$TMP/err" || fail "missing message '$1' in: $(cat "$TMP/err")"
}

start_sim main --eep "$TMP/unit.eep"

run 0 info --port "$PORT_main"
grep -qx "Produkt: VEXA" "$TMP/out" || fail "info: product line missing"
grep -qx "Velikost paměti:   8128 byte" "$TMP/out" || fail "info: memory line missing"
expect_err "Uveďte zařízení do vypnutého stavu (CPU LED svítí trvale)."

# An output file that cannot be written is refused before the unit is touched:
# no activation instruction.
mkfifo "$TMP/fifo.eep"
for out in "$TMP/no-such-folder/x.eep" "$TMP" "$TMP/fifo.eep"; do
  run 4 read --port "$PORT_main" -o "$out"
  grep -qF "Uveďte zařízení" "$TMP/err" && fail "read -o $out touched the unit"
done

# A unit that was never programmed.
run 1 read --port "$PORT_main" -o "$TMP/none.eep"
expect_err "Data nebyla úspěšně načtena z EEPROM. EEPROM zřejmě není naprogramována."
[ ! -e "$TMP/none.eep" ] || fail "read of an unprogrammed unit wrote a file"

# Write, read back: the file is the program's save of the decoded configuration.
run 0 write --port "$PORT_main" "$FIXTURES/pumping-station.eep"
expect_err "Data byla úspěšně uložena do EEPROM."
run 0 read --port "$PORT_main" -o "$TMP/back.eep"
expect_err "Data byla úspěšně načtena z EEPROM."
[ "$(stat -c %s "$TMP/back.eep")" -eq "$(stat -c %s "$FIXTURES/pumping-station.eep")" ] || fail "read-back size differs"
# Bytes 64..127 are the unit's own (erased 0xFF in the simulator); the rest is the file.
cmp -s <(head -c 64 "$TMP/back.eep") <(head -c 64 "$FIXTURES/pumping-station.eep") || fail "header differs"
cmp -s <(tail -c +129 "$TMP/back.eep") <(tail -c +129 "$FIXTURES/pumping-station.eep") || fail "body differs"

# The same file again: the unit already holds it, nothing is written; with
# --full-write every block is.
run 0 write --port "$PORT_main" "$FIXTURES/pumping-station.eep"
expect_err "Zařízení již obsahovalo toto nastavení."
expect_err "Počet zapsaných bloků: 0 z celkových "
run 0 write --port "$PORT_main" "$FIXTURES/pumping-station.eep" --full-write
grep -qE "^Počet zapsaných bloků: ([1-9][0-9]*) z celkových \1\.$" "$TMP/err" || fail "full write: $(cat "$TMP/err")"
run 0 write --port "$PORT_main" "$FIXTURES/startup.eep" --no-verify

# Refusals before the unit is touched, and a port that does not exist.
run 4 write --port "$PORT_main" "$FIXTURES/bad-checksum.eep"
run 4 write --port "$PORT_main" "$TMP/missing.eep"
run 5 info --port "$TMP/no-such-tty"
expect_err "Nelze otevřít port $TMP/no-such-tty."
expect_err "$TMP/no-such-tty: zařízení neexistuje."
run 0 ports
grep -qx "COM 1: .*" "$TMP/out" || fail "ports: no COM 1 line in: $(cat "$TMP/out")"

# A unit whose first blocks answer slowly, late for the first attempts.
cp "$FIXTURES/pumping-station.eep" "$TMP/slow.eep"
start_sim slow --eep "$TMP/slow.eep" --block-delay 150-400 --slow-addresses 0-48 --seed 5
run 0 read --port "$PORT_slow" -o "$TMP/slow-back.eep"
cmp -s <(head -c 64 "$TMP/slow-back.eep") <(head -c 64 "$FIXTURES/pumping-station.eep") || fail "slow unit: header differs"
cmp -s <(tail -c +129 "$TMP/slow-back.eep") <(tail -c +129 "$FIXTURES/pumping-station.eep") || fail "slow unit: body differs"
run 2 read --port "$PORT_main"

# Another product is identified but refused.
start_sim korin --product 22D382
run 1 read --port "$PORT_korin" -o "$TMP/korin.eep"
expect_err "Touto verzí programu lze naprogramovat pouze zařízení VEXA."
grep -qx "Spojení: Chybné zařízení" "$TMP/out" || fail "wrong device state not shown"

# A memory size the program does not know.
start_sim odd --memory-code 10
run 1 read --port "$PORT_odd" -o "$TMP/odd.eep"
expect_err "Velikost paměti připojeného zařízení není známa."

# Ctrl-C, SIGTERM and SIGHUP (a closed terminal) during a paced write cancel
# between blocks and release the unit; the port is free again afterwards.
start_sim paced --baud 19200 --memory-code 4 --verbose
for sig in INT TERM HUP; do
  : >"$TMP/paced.err"
  start_cli write --port "$PORT_paced" "$FIXTURES/pumping-station.eep"
  # Interrupt once the transfer runs (the simulator logs every request).
  for _ in $(seq 200); do
    grep -q '^write' "$TMP/paced.err" && break
    sleep 0.1
  done
  sleep 0.3
  kill -"$sig" "$cli"
  wait_cli
  [ "$rc" -eq 3 ] || fail "write stopped by SIG$sig exited $rc, expected 3: $(cat "$TMP/err")"
  expect_err "Ukládání dat z PC do EEPROM bylo stornováno."
  expect_err "Zařízení nyní neobsahuje platné nastavení."
  sleep 0.2
  tail -1 "$TMP/paced.err" | grep -qx "leave" || fail "the unit was not released after SIG$sig: $(tail -3 "$TMP/paced.err")"
done
run 1 read --port "$PORT_paced" -o "$TMP/cut.eep"
expect_err "EEPROM zřejmě není naprogramována."

# Ctrl-C after the unit answered its poll but before the transfer: the
# command stops before the first block, the unit keeps its configuration and
# is released.
# A watcher copies the unit's log to quick.log and sends Ctrl-C at "identify".
cp "$FIXTURES/pumping-station.eep" "$TMP/quick.eep"
mkfifo "$TMP/quick.err"
(
  while IFS= read -r line; do
    echo "$line" >>"$TMP/quick.log"
    if [ "$line" = identify ] && [ -s "$TMP/quick.pid" ]; then kill -INT "$(cat "$TMP/quick.pid")"; fi
  done <"$TMP/quick.err"
) &
PIDS+=($!)
start_sim quick --eep "$TMP/quick.eep" --delay 80 --verbose
start_cli write --port "$PORT_quick" "$FIXTURES/startup.eep"
echo "$cli" >"$TMP/quick.pid"
wait_cli
[ "$rc" -eq 3 ] || fail "write interrupted during identification exited $rc, expected 3: $(cat "$TMP/err")"
expect_err "Přerušeno před přenosem dat, zařízení nebylo změněno."
sleep 0.2
grep -q '^write' "$TMP/quick.log" && fail "a block was written after Ctrl-C: $(grep -c '^write' "$TMP/quick.log") write(s)"
grep -v '^vexa-unit-sim' "$TMP/quick.log" | tail -1 | grep -qx "leave" ||
  fail "the unit was not released after Ctrl-C: $(tail -3 "$TMP/quick.log")"
cmp -s -n 64 "$TMP/quick.eep" "$FIXTURES/pumping-station.eep" || fail "the interrupted write changed the unit's header"

# Every wait ends: the polls wait --wait SECONDS for the unit's first answer,
# then the command says what the line carried and exits 1.
while IFS='|' read -r name sim_args wait want message; do
  # shellcheck disable=SC2086
  start_sim "$name" $sim_args
  port_var="PORT_$name"
  started=$(date +%s%N)
  run "$want" info --port "${!port_var}" --wait "$wait"
  took=$((($(date +%s%N) - started) / 1000000))
  [ "$took" -lt $((wait * 1000 + 5000)) ] || fail "$name: --wait $wait ended after $took ms"
  cat "$TMP/out" "$TMP/err" | grep -qF -- "$message" || fail "$name: missing '$message' in: $(cat "$TMP/err")"
done <<'ROWS'
silent|--polls 1000000|5|1|Zařízení neodpovídá. Zkontrolujte konfigurační kabel
noisy|--corrupt 1|5|1|znaky, které nejsou odpověďmi zařízení
late|--polls 6|5|0|Produkt: VEXA
ROWS
run 2 info --port "$PORT_late" --wait soon

# The simulator saves its EEPROM when released and at exit.
kill "${PIDS[0]}"
wait "${PIDS[0]}" 2>/dev/null
[ "$(stat -c %s "$TMP/unit.eep")" -eq 8128 ] || fail "simulator did not save its EEPROM"

finish unit_cli
