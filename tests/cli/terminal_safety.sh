#!/usr/bin/env bash
# Texts from files reach the terminal as visible escapes, never as control
# characters: diff, check, build's rewrites and warnings, and error details.
# usage: terminal_safety.sh BUILD_DIR FIXTURES_DIR
. "$(dirname "$0")/lib.sh"
FIX=$FIXTURES
WORK=$TMP
ESC=$'\e'

# An input name that would move the cursor up and erase the line above.
printf '{"inputs": [{"INPZap": "zap\\u001b[1A\\u001b[1M"}]}' >"$WORK/hostile.json"
"$CLI" build "$WORK/hostile.json" -o "$WORK/hostile.eep" --force 2>/dev/null
printf '{"general": {"PSOnH": "1\\u001b[2J"}}' >"$WORK/rewrite.json"
printf '{"general": {"PIN": "1234", "PIN": "4321", "x\\u001b[2J": 1}}' >"$WORK/unknown.json"
printf '{"general": {"PIN": "1234", "PIN": "4321"}}' >"$WORK/twice.json"

# description | stream | text it must show (fixed string) | command (word-split; @ is the work folder)
while IFS='|' read -r what stream want args; do
  # shellcheck disable=SC2086
  "$CLI" ${args//@/$WORK} >"$WORK/out" 2>"$WORK/err"
  [ -f "$WORK/$stream" ] || { fail "$what: no $stream"; continue; }
  grep -q "$ESC" "$WORK/out" "$WORK/err" && fail "$what: a raw escape reached the terminal"
  grep -qF -- "$want" "$WORK/$stream" || fail "$what: '$want' not in $stream: $(head -c 400 "$WORK/$stream")"
done <<CASES
diff of a hostile name|out|'zap\\x1b[1A\\x1b[1M'|diff @/hostile.eep $FIX/startup.eep
check's rewrite|out|PSOnH: '1\\x1b[2J' → '1'|check @/rewrite.json
build's rewrite|err|PSOnH: '1\\x1b[2J' → '1'|build @/rewrite.json -o @/rewrite.eep
an unknown key|err|x\\x1b[2J|build @/unknown.json -o @/unknown.eep
a file name|err|a\\x1b[1Ab.eep|dump @/a${ESC}[1Ab.eep
a key given twice|err|upozornění: klíč 'general.PIN' je uveden dvakrát, platí poslední hodnota.|build @/twice.json -o @/twice.eep
CASES

finish terminal_safety
