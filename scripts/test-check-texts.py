#!/usr/bin/env python3
"""Cases of check-texts.py on a small made-up source tree: what it must find
and what it must leave alone."""
import importlib.util
import pathlib
import sys
import tempfile
import unittest

HERE = pathlib.Path(__file__).resolve().parent
module_spec = importlib.util.spec_from_file_location("check_texts", HERE / "check-texts.py")
check = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(check)


class Offences(unittest.TestCase):
    def found(self, source, rel="src/ui/x.cpp"):
        return [literal for _, literal, _ in check.offences(rel, source)]

    def test_words_and_non_words(self):
        cases = [
            ('b->setText(QStringLiteral("&Ano"));', ['"&Ano"']),
            ('return on ? "ano" : "ne";', ['"ano"', '"ne"']),
            ('r = std::string("Blok ") + where;', ['"Blok "']),
            ('which = "\'Zapnuto\'";', ['"\'Zapnuto\'"']),
            ('s = "Zálohovat";', ['"Zálohovat"']),
            # object names, capitals alone (the unit's command words), English
            ('w->setObjectName(QStringLiteral("Vstup"));', []),
            ('findChild<QLabel*>(QStringLiteral("Meze"));', []),
            ('const char* k = "STATE;STAV;ZPET;NEZPET";', []),
            ('log("none of the ports answered");', []),
            ('// "ano" in a comment', []),
            ('int anotherName = 0; const char* n = "annotation";', []),
        ]
        for source, expected in cases:
            self.assertEqual(self.found(source), expected, source)

    def test_identifiers_read_back_are_left(self):
        source = 'case LinkState::Aktivni: return "Aktivni";'
        self.assertEqual(self.found(source, "src/workflows/link_workflows.cpp"), [])
        self.assertEqual(self.found(source), ['"Aktivni"'])


class Duplicates(unittest.TestCase):
    def test_a_text_twice_is_found_once_with_both_names(self):
        with tempfile.TemporaryDirectory() as tmp:
            root = pathlib.Path(tmp)
            (root / "src/texts").mkdir(parents=True)
            (root / "src/texts/texts_a.h").write_text(
                'inline constexpr const char* kOne = "Aktivovat";\n'
                'inline constexpr const char* kDash = " – ";\n', encoding="utf-8")
            (root / "src/texts/texts_b.h").write_text(
                'inline constexpr const char* kTwo =\n    "Akti" "vovat";\n'
                'inline constexpr const char* kSep = " – ";\n'
                'inline constexpr const char* kOther = "Deaktivovat";\n', encoding="utf-8")
            found = list(check.duplicates(root))
        self.assertEqual([(name, earlier) for _, name, _, earlier in found], [("kTwo", "kOne")])


if __name__ == "__main__":
    sys.exit(unittest.main())
