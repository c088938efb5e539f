#!/usr/bin/env python3
"""Every word the user sees lives in the catalogue (src/texts/texts*.h) or
in the field table (src/model/fields.*), once: this fails on

- a string literal with non-ASCII characters anywhere else in the program's
  sources (src/, app/, tools/);
- a string literal elsewhere holding a Czech word written without its
  diacritics or one that has none ("ano", "Blok", "Aktivni") - found by a
  list of such words, matched as whole words; an object name given to
  setObjectName or looked up with findChild, and a text in capitals alone
  (the unit's SMS command words), are not user texts;
- a text of words that the catalogue holds twice, under two names.

usage: check-texts.py [--root DIR]
"""
import argparse
import pathlib
import re
import sys

FOLDERS = ("src", "app", "tools")
SUFFIXES = {".cpp", ".h"}
CATALOGUE = re.compile(r"^src/texts/texts[^/]*\.h$")
ALLOWED = (CATALOGUE, re.compile(r"^src/model/fields\.[^/]+$"))

# Czech words a user may be shown, as they read without diacritics (or with
# none at all). Whole words only, any case; none of them is an English word
# or a C++ keyword.
CZECH_WORDS = frozenset("""
    ano ne storno zrusit blok zapnuto vypnuto impuls aktivni neaktivni aktivovat deaktivovat spatna chybne
    verze zalohy zaloha chyba soubor souboru zapis zapsat cteni nacist ulozit zarizeni zarizenim stanice
    spojeni nastaveni tisk nahled konec informace pamet pameti volno velikost vstup vstupy vystup vystupy
    nazev hodnota stav stavu zprava zpravy hlaseni telefonni cislo prikaz prikazy neplatny neplatna
    nelze nebo neni jsou bylo byla zadne prosim ceka cekam probiha hotovo dokonceno preruseno
""".split())
WORD = re.compile(r"[A-Za-z]+")
# An object name: the literal is the argument of setObjectName or findChild.
OBJECT_NAME = re.compile(
    r"(setObjectName|findChildren?<[^>]*>|objectName\(\)\s*==)\s*\(?\s*"
    r"(QStringLiteral|QString::fromLatin1|QLatin1String)?\s*\(?\s*$")
# Identifiers a program reads back, not words a user is shown: the link
# states' names in a trace and in vexa-cli's JSON.
# And vexa-cli's English help, documentation that names the window's button.
IDENTIFIERS = {
    "src/workflows/link_workflows.cpp": {'"Neaktivni"', '"Aktivni"', '"Aktivni-spatna verze"'},
    "tools/vexa-cli/command.h": {
        '"2 wrong usage; 3 interrupted (a signal, Storno); 4 a file was refused (unreadable, damaged,\\n"'},
}
# A catalogue entry: `inline constexpr const char* kName = "text" "text";`.
ENTRY = re.compile(r"inline\s+constexpr\s+const\s+char\*\s+(k\w+)\s*=\s*((?:\s*\"(?:[^\"\\]|\\.)*\")+)\s*;")


def literals(text):
    """(line, literal) for each string literal of C++ source `text`."""
    i, line, n = 0, 1, len(text)
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            line += text.count("\n", i, end)
            i = end
        elif c == '"' or c == "'":
            raw = text[i - 1] == "R" if i > 0 else False
            if raw and c == '"':
                open_paren = text.find("(", i)
                delim = ")" + text[i + 1:open_paren] + '"'
                end = text.find(delim, open_paren)
                end = n if end < 0 else end + len(delim)
            else:
                end = i + 1
                while end < n and text[end] != c and text[end] != "\n":
                    end += 2 if text[end] == "\\" else 1
                end += 1
            if c == '"':
                yield line, text[i:end]
            line += text.count("\n", i, end)
            i = end
        else:
            i += 1


def czech_words(literal):
    """The listed Czech words in `literal`, unless it is in capitals alone."""
    if not any(ch.islower() for ch in literal):
        return []
    return [w for w in WORD.findall(literal) if w.lower() in CZECH_WORDS]


def offences(rel, text):
    """(line, literal, why) for each literal of `text` that belongs in the catalogue."""
    lines = text.split("\n")
    known = IDENTIFIERS.get(rel, set())
    for line, literal in literals(text):
        if any(ord(ch) > 127 for ch in literal):
            yield line, literal, "a user-visible text outside the catalogue"
            continue
        if literal in known or not czech_words(literal):
            continue
        source = lines[line - 1]
        start = source.find(literal)
        if start >= 0 and OBJECT_NAME.search(source[:start]):
            continue
        yield line, literal, "a Czech word outside the catalogue"


def catalogue_entries(text):
    """(line, name, text) of each entry of a catalogue file."""
    for m in ENTRY.finditer(text):
        parts = re.findall(r'"((?:[^"\\]|\\.)*)"', m.group(2))
        yield text.count("\n", 0, m.start()) + 1, m.group(1), "".join(parts)


def duplicates(root):
    """(place, name, earlier place, earlier name) of each catalogue text held twice."""
    seen = {}
    for path in sorted((root / "src/texts").glob("texts*.h")):
        rel = path.relative_to(root).as_posix()
        for line, name, words in catalogue_entries(path.read_text(encoding="utf-8")):
            place = f"{rel}:{line}"
            if not any(ch.isalpha() for ch in words):
                continue  # a separator or a sign, not a word
            if words in seen:
                yield place, name, *seen[words]
            else:
                seen[words] = (place, name)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", default=pathlib.Path(__file__).resolve().parent.parent, type=pathlib.Path)
    args = parser.parse_args()
    found = 0
    for folder in FOLDERS:
        for path in sorted((args.root / folder).rglob("*")):
            if path.suffix not in SUFFIXES or not path.is_file():
                continue
            rel = path.relative_to(args.root).as_posix()
            if any(p.match(rel) for p in ALLOWED):
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for line, literal, why in offences(rel, text):
                found += 1
                print(f"{rel}:{line}: {why}: {literal}")
    for place, name, earlier, earlierName in duplicates(args.root):
        found += 1
        print(f"{place}: {name} repeats {earlierName} ({earlier}): one entry is enough")
    if found:
        print(f"{found} text(s) outside the catalogue (src/texts/texts*.h)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
