#!/usr/bin/env bash
# vexa-cli series against five simulated units told apart by their
# identification, the answers given on standard input: each unit holds the
# template with its row, the log names every unit; a cable pulled during a
# write is logged and the series goes on; a second run does only what is not
# done, --redo repeats a row. write --set / --patch change only the named
# fields of a unit that holds its own configuration.
. "$(dirname "$0")/lib.sh"

TEMPLATE="$FIXTURES/pumping-station.eep"
export XDG_DATA_HOME="$TMP/data"
# The series' port is a link that the test points at the unit it "connects".
PORT="$TMP/port"
connect() { ln -sfn "$1" "$PORT"; }

cat >"$TMP/table.csv" <<'EOF'
general.JmenoStanice;general.PIN;phones[0].TC;phones[0].TCPrijem
Čerpadlo 1;1001;+420600000001;ano
Čerpadlo 2;1002;+420600000002;
Čerpadlo 3;1003;+420600000003;ne
Čerpadlo 4;1004;"+420600000004";
Čerpadlo 5;1005;+420600000005;1
EOF

for k in 1 2 3 4 5; do
  extra=()
  [ "$k" -eq 3 ] && extra=(--baud 19200 --verbose)
  start_sim "u$k" --eep "$TMP/u$k.eep" --version "1.$((k + 4))" --modem-code $((k % 2 + 3)) "${extra[@]}"
done
unit_port() { local v="PORT_u$1"; echo "${!v}"; }

# series_start ARGS...: vexa-cli series in the background, its answers from
# the FIFO $TMP/in (fd 3); series_wait sets rc.
series_start() {
  rm -f "$TMP/in"
  mkfifo "$TMP/in"
  exec 3<>"$TMP/in"
  "$CLI" series "$@" >"$TMP/out" 2>"$TMP/err" <"$TMP/in" &
  cli=$!
}
series_wait() {
  local waited=0
  while kill -0 "$cli" 2>/dev/null && [ $waited -lt 1200 ]; do sleep 0.1; waited=$((waited + 1)); done
  kill -9 "$cli" 2>/dev/null
  wait "$cli"
  rc=$?
  exec 3>&-
}
# answer K: waits for the question for unit K, connects it and presses Enter.
answer() {
  for _ in $(seq 600); do
    grep -qF "Připojte jednotku $1 z 5" "$TMP/err" && break
    sleep 0.1
  done
  grep -qF "Připojte jednotku $1 z 5 (stanice „Čerpadlo $1“)" "$TMP/err" || fail "no question for unit $1: $(tail -3 "$TMP/err")"
  connect "$(unit_port "$1")"
  echo >&3
}
log_field() { awk -F';' -v r="$1" -v c="$2" '$2 == r { v = $c } END { print v }' "$TMP/log.csv"; }

# First run: unit 3's cable is pulled once its write has begun.
series_start "$TEMPLATE" "$TMP/table.csv" --port "$PORT" --log "$TMP/log.csv"
for k in 1 2 3 4 5; do
  answer "$k"
  if [ "$k" -eq 3 ]; then
    for _ in $(seq 300); do grep -q '^write' "$TMP/u3.err" && break; sleep 0.1; done
    sleep 0.3
    kill "${PIDS[2]}"
  fi
done
series_wait
[ "$rc" -eq 1 ] || fail "series with a failed unit exited $rc, expected 1: $(tail -5 "$TMP/err")"
[ "$(grep -c ';' "$TMP/log.csv")" -eq 6 ] || fail "log: not a header and five lines: $(cat "$TMP/log.csv")"
for k in 1 2 4 5; do
  [ "$(log_field "$k" 8)" = done ] || fail "row $k not done: $(grep "^[^;]*;$k;" "$TMP/log.csv")"
  [ "$(log_field "$k" 5)" = "1.$((k + 4))" ] || fail "row $k: wrong version in the log"
  [ "$(log_field "$k" 4)" = VEXA ] || fail "row $k: no product in the log"
  [ "$(log_field "$k" 6)" = "  8128 byte" ] || fail "row $k: no memory in the log"
  [ -n "$(log_field "$k" 7)" ] && [ "$(log_field "$k" 7)" != "?" ] || fail "row $k: no modem in the log"
  [[ "$(log_field "$k" 10)" =~ ^[1-9][0-9]*/[1-9][0-9]*$ ]] || fail "row $k: blocks written '$(log_field "$k" 10)'"
done
[ "$(log_field 3 8)" = failed ] || fail "row 3 (cable pulled) not logged as failed"
[ -n "$(log_field 3 9)" ] || fail "row 3: no reason logged"

# Each unit holds the template with its own row.
for k in 1 2 4 5; do
  run 0 read --port "$(unit_port "$k")" -o "$TMP/back$k.eep"
  run 0 dump "$TMP/back$k.eep"
  grep -qF "\"JmenoStanice\": \"Čerpadlo $k\"" "$TMP/out" || fail "unit $k: station name not written"
  grep -qF "\"PIN\": \"100$k\"" "$TMP/out" || fail "unit $k: PIN not written"
  grep -qF "\"TC\": \"+42060000000$k\"" "$TMP/out" || fail "unit $k: phone not written"
  "$CLI" dump "$TEMPLATE" | grep -F '"TCcentra"' >"$TMP/centre"
  grep -qF "$(cat "$TMP/centre")" "$TMP/out" || fail "unit $k: the template's SMS centre is missing"
done

# Second run: only row 3 is asked for, on a new unit 3 that has its memory as the cable left it.
start_sim u3b --eep "$TMP/u3.eep" --version 1.7
PORT_u3=$PORT_u3b
series_start "$TEMPLATE" "$TMP/table.csv" --port "$PORT" --log "$TMP/log.csv"
answer 3
series_wait
[ "$rc" -eq 0 ] || fail "second run exited $rc: $(tail -5 "$TMP/err")"
[ "$(grep -c 'Připojte jednotku' "$TMP/err")" -eq 1 ] || fail "second run asked for more than row 3"
[ "$(log_field 3 8)" = done ] || fail "row 3 not done on the second run"

# Everything done: nothing asked, nothing touched; --redo 2 repeats row 2.
series_start "$TEMPLATE" "$TMP/table.csv" --port "$PORT" --log "$TMP/log.csv"
series_wait
[ "$rc" -eq 0 ] || fail "a run with every row done exited $rc"
grep -qF "Připojte" "$TMP/err" && fail "a run with every row done asked for a unit"
series_start "$TEMPLATE" "$TMP/table.csv" --port "$PORT" --log "$TMP/log.csv" --redo 2
answer 2
series_wait
[ "$rc" -eq 0 ] || fail "--redo 2 exited $rc: $(tail -5 "$TMP/err")"
[ "$(grep -c "^[^;]*;2;" "$TMP/log.csv")" -eq 2 ] || fail "--redo 2 did not log row 2 again"
grep -qF "Počet zapsaných bloků: 0 z celkových" "$TMP/err" || fail "--redo of an unchanged unit wrote blocks"

# --row N without a question; q stops the series (3).
connect "$PORT_u4"
mkdir -p "$TMP/kept" "$TMP/pdf"
timeout 60 "$CLI" series "$TEMPLATE" "$TMP/table.csv" --port "$PORT" --log "$TMP/log4.csv" --row 4 \
  --save-dir "$TMP/kept" --pdf-dir "$TMP/pdf" </dev/null >"$TMP/out" 2>"$TMP/err"
rc=$?
[ "$rc" -eq 0 ] || fail "--row 4 exited $rc: $(tail -3 "$TMP/err")"
grep -qF "Připojte" "$TMP/err" && fail "--row asked for the unit"
[ -s "$TMP/kept/Cerpadlo-4.eep" ] || fail "--save-dir: no Cerpadlo-4.eep: $(ls "$TMP/kept")"
head -c 5 "$TMP/pdf/Cerpadlo-4.pdf" 2>/dev/null | grep -q '%PDF-' || fail "--pdf-dir: no report: $(ls -a "$TMP/pdf")"
# series --patch: unit 4 keeps its own values and gets the change.
echo '{"general": {"TCcentra": "+420603111222"}}' >"$TMP/centre.json"
run 0 series --patch "$TMP/centre.json" "$TMP/table.csv" --port "$PORT" --log "$TMP/patch.csv" --row 4
run 0 read --port "$PORT_u4" -o "$TMP/patched4.eep"
run 0 dump "$TMP/patched4.eep"
grep -qF '"TCcentra": "+420603111222"' "$TMP/out" || fail "series --patch: the change is not in the unit"
grep -qF '"JmenoStanice": "Čerpadlo 4"' "$TMP/out" || fail "series --patch: the unit lost its station"
grep -qF "'+420603111222'" "$TMP/patch.csv" || fail "series --patch: the change is not logged"
echo q | timeout 60 "$CLI" series "$TEMPLATE" "$TMP/table.csv" --port "$PORT" --log "$TMP/logq.csv" >/dev/null 2>&1
[ $? -eq 3 ] || fail "q did not stop the series with 3"

# Ctrl-C during a unit's write: the unit is released, its line says
# cancelled, the lines before it stay (3).
start_sim paced --eep "$TMP/paced.eep" --baud 19200 --verbose
connect "$PORT_paced"
printf 'general.JmenoStanice\nPomalá\n' >"$TMP/paced.csv"
"$CLI" series "$TEMPLATE" "$TMP/paced.csv" --port "$PORT" --log "$TMP/log4.csv" --row 1 </dev/null \
  >"$TMP/out" 2>"$TMP/err" &
cli=$!
for _ in $(seq 300); do grep -q '^write' "$TMP/paced.err" && break; sleep 0.1; done
sleep 0.3
kill -INT "$cli"
wait "$cli"
rc=$?
[ "$rc" -eq 3 ] || fail "series stopped by Ctrl-C exited $rc: $(tail -3 "$TMP/err")"
sleep 0.2
grep -v "^vexa-unit-sim" "$TMP/paced.err" | tail -1 | grep -qx leave || fail "the unit was not released after Ctrl-C: $(tail -3 "$TMP/paced.err") $(cat "$TMP/err")"
[ "$(awk -F';' 'END { print $8 }' "$TMP/log4.csv")" = cancelled ] || fail "the stopped unit is not logged as cancelled"
awk -F';' 'END { print $9 }' "$TMP/log4.csv" | grep -qF "bylo stornováno" || fail "the stopped unit's reason: $(tail -1 "$TMP/log4.csv")"
[ "$(grep -c ';done;' "$TMP/log4.csv")" -eq 1 ] || fail "the finished unit's line was lost"

# A refused table touches no unit (4); a wrong option is usage (2).
printf 'general.JmenoStanice;general.Nic\nA;1\nA;2\n' >"$TMP/bad.csv"
run 4 series "$TEMPLATE" "$TMP/bad.csv" --port "$PORT" --log "$TMP/bad-log.csv"
grep -qF "záhlaví, sloupec general.Nic" "$TMP/err" || fail "unknown column not named: $(cat "$TMP/err")"
grep -qF "řádek 2, sloupec general.JmenoStanice" "$TMP/err" || fail "duplicate station not named"
grep -qF "Uveďte" "$TMP/err" && fail "a refused table touched the unit"
[ -e "$TMP/bad-log.csv" ] && fail "a refused table started a log"
run 2 series "$TEMPLATE" "$TMP/table.csv" --port "$PORT"
run 0 series --columns
grep -qx 'phones\[7\].TCUdalost' "$TMP/out" || fail "--columns misses phones[7].TCUdalost"

# write --set on unit 5, which holds its own station: only the named field
# changes, and only the blocks that hold it are written.
cp "$TMP/back5.eep" "$TMP/before5.eep"
run 0 write --port "$PORT_u5" --set 'phones[1].TC=+420777123456' --log "$TMP/change.csv"
grep -qE "^T2 Telefonní číslo: '[^']*' → '\+420777123456'$" "$TMP/err" || fail "--set: the change not shown: $(cat "$TMP/err")"
written=$(sed -n 's/^Počet zapsaných bloků: \([0-9]*\) z celkových \([0-9]*\)\.$/\1 \2/p' "$TMP/err")
read -r done_blocks all_blocks <<<"$written"
[ -n "$done_blocks" ] && [ "$done_blocks" -gt 0 ] && [ "$done_blocks" -lt $((all_blocks / 2)) ] ||
  fail "--set wrote $written blocks"
run 0 read --port "$PORT_u5" -o "$TMP/after5.eep"
run 1 diff "$TMP/before5.eep" "$TMP/after5.eep"
[ "$(grep -c . "$TMP/out")" -eq 1 ] && grep -qF "+420777123456" "$TMP/out" || fail "--set changed more: $(cat "$TMP/out")"
# --patch: one change from a partial configuration, logged with the comparison's words.
echo '{"general": {"TCcentra": "+420603999888"}}' >"$TMP/change.json"
run 0 write --port "$PORT_u5" --patch "$TMP/change.json" --log "$TMP/change.csv"
grep -qF "'+420603999888'" "$TMP/change.csv" || fail "--patch: the change not in the log"
run 0 dump "$TMP/after5.eep"
# A change that breaks a rule is refused before the unit is touched.
run 4 write --port "$PORT_u5" --set general.PIN=12a
grep -qF "general.PIN" "$TMP/err" || fail "the broken rule not named"
grep -qF "Uveďte" "$TMP/err" && fail "a refused change touched the unit"
run 4 write --port "$PORT_u5" --set general.Nic=1

# A unit that never answers: --row and write --set give up after --wait,
# log the reason and exit 1 instead of polling forever.
start_sim silent --polls 1000000
start=$(date +%s)
run 1 series "$TEMPLATE" "$TMP/table.csv" --port "$PORT_silent" --log "$TMP/silent.csv" --row 2 --wait 2
run 1 write --port "$PORT_silent" --set general.PIN=1234 --wait 2
[ $(($(date +%s) - start)) -lt 15 ] || fail "--wait 2 did not end the polls"
grep -qF "Zařízení neodpovídá" "$TMP/silent.csv" || fail "the silent unit's reason not logged: $(cat "$TMP/silent.csv")"

finish series_cli
