#!/usr/bin/env python3
"""Every word the user sees lives in the catalogue (src/platform/texts*.h) or
in the field table (src/workspace/fields.*): this finds string literals with
non-ASCII characters anywhere else in the program's sources (src/, app/,
tools/) and fails on each one.

usage: check-texts.py [--root DIR]
"""
import argparse
import pathlib
import re
import sys

FOLDERS = ("src", "app", "tools")
SUFFIXES = {".cpp", ".h"}
ALLOWED = (re.compile(r"^src/platform/texts[^/]*\.h$"), re.compile(r"^src/workspace/fields\.[^/]+$"))


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


def offences(root, path):
    text = path.read_text(encoding="utf-8", errors="replace")
    for line, literal in literals(text):
        if any(ord(ch) > 127 for ch in literal):
            yield line, literal


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
            for line, literal in offences(args.root, path):
                found += 1
                print(f"{rel}:{line}: a user-visible text outside the catalogue: {literal}")
    if found:
        print(f"{found} text(s) outside the catalogue (src/platform/texts*.h)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
