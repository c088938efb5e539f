#!/usr/bin/env bash
# The manual pages stay in step with the programs: every command and option
# that --help shows is in the page, every command the page describes exists,
# and groff finds nothing to warn about.
# usage: man_pages.sh BUILD_DIR FIXTURES_DIR
. "$(dirname "$0")/lib.sh"
MAN="$FIXTURES/../../packaging/man"

# The page as a reader sees it, plain ASCII ("\-" and "-" both as "-").
rendered() { groff -man -Tascii -P-c -P-b -P-u "$MAN/$1.1" 2>/dev/null; }
# The options a help text names: -o, --base, --no-verify...
options_of() { grep -oE -- '(^|[][ |(,])--?[a-z][a-z0-9-]*' | sed 's/^[][ |(,]//' | sort -u; }

for page in vexa-cli vexa-init vexa-unit-sim; do
  warnings=$(groff -ww -man -Tutf8 -z "$MAN/$page.1" 2>&1)
  [ -z "$warnings" ] || fail "groff -ww $page.1: $warnings"
done

# program (under the build folder) | its page
while IFS='|' read -r program page; do
  text=$(rendered "$page")
  help=$("$BUILD/$program" --help 2>&1) || fail "$program --help failed"
  [ -n "$(options_of <<<"$help")" ] || fail "$program --help names no option: $help"
  if [ "$page" = vexa-cli ]; then
    commands=$(sed -n 's/^  vexa-cli \([a-z][a-z-]*\).*/\1/p' <<<"$help")
    [ -n "$commands" ] || fail "vexa-cli --help lists no command"
    for cmd in $commands; do
      grep -qE "^ +vexa-cli $cmd( |$)" <<<"$text" || fail "$page.1: no synopsis of '$cmd'"
      grep -qE "^ {7}$cmd( |$)" <<<"$text" || fail "$page.1: '$cmd' is not described under COMMANDS"
      help+=$'\n'$("$BUILD/$program" "$cmd" --help 2>&1)
    done
    # And every command the page describes is one the program has.
    for cmd in $(sed -n '/^\.SH COMMANDS/,/^\.SH /{/^\.TP/{n;s/^\.B \([a-z][a-z-]*\).*/\1/p}}' "$MAN/$page.1"); do
      grep -qx "$cmd" <<<"$commands" || fail "$page.1 describes '$cmd', which vexa-cli does not have"
    done
  fi
  for option in $(options_of <<<"$help"); do
    grep -qE -- "(^|[][ |(,])$option([] ,|)]|$)" <<<"$text" || fail "$page.1 lacks $option (from $program --help)"
  done
done <<PROGRAMS
tools/vexa-cli|vexa-cli
tools/vexa-unit-sim|vexa-unit-sim
vexa-init|vexa-init
PROGRAMS

# The exit codes --help explains are those the page's EXIT STATUS lists.
help_codes=$("$CLI" --help | sed -n '/^Exit codes:/,$p' | grep -oE '(^|; |: )[0-9] ' | grep -oE '[0-9]' | tr '\n' ' ')
page_codes=$(sed -n '/^\.SH EXIT STATUS/,/^\.SH /{s/^\.B \([0-9]\)$/\1/p}' "$MAN/vexa-cli.1" | tr '\n' ' ')
[ "$help_codes" = "0 1 2 3 4 5 " ] && [ "$page_codes" = "$help_codes" ] ||
  fail "exit codes: --help '$help_codes', page '$page_codes'"

finish man_pages
