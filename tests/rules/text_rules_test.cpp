// The shared text procedures: character sets, keyword collisions, prefixes,
// case folding.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/rules.h"

namespace vexa::rules {
namespace {

// Every printable ASCII character except the ones named.
std::string PrintableAsciiWithout(std::string_view excluded) {
  std::string s;
  for (char c = 0x20; c < 0x7F; ++c) {
    if (excluded.find(c) == std::string_view::npos) s += c;
  }
  return s;
}

bool SameCharacters(std::string_view set, const std::string& expected) {
  if (set.size() != expected.size()) return false;
  for (char c : expected) {
    if (set.find(c) == std::string_view::npos) return false;
  }
  return true;
}

TEST(CharacterSets, HoldExactlyTheCharactersTheUnitAccepts) {
  EXPECT_EQ(NameChars.size(), 93u);
  EXPECT_TRUE(SameCharacters(NameChars, PrintableAsciiWithout("\"~")));
  EXPECT_EQ(NameChars.front(), ' ');
  EXPECT_EQ(NameChars.substr(0, 4), " `!@");
  EXPECT_EQ(TextChars.size(), 94u);
  EXPECT_TRUE(SameCharacters(TextChars, PrintableAsciiWithout("\"")));
  EXPECT_EQ(TextChars.substr(0, 3), " !#");
  EXPECT_EQ(TextChars.substr(TextChars.size() - 4), "{}|~");
  EXPECT_EQ(CommandChars.size(), 63u);
  EXPECT_EQ(CommandChars.find(' '), std::string_view::npos);
}

struct CharsCase {
  const char* text;
  std::string_view set;
  bool allowed;
};

TEST(HasOnlyAllowedChars, ComparesEveryCharacterExactly) {
  const std::vector<CharsCase> cases = {
      {"", DigitChars, true},
      {"", CommandChars, true},
      {"1234", DigitChars, true},
      {"12a4", DigitChars, false},
      {"+420603", PhoneChars, true},
      {"420 603", PhoneChars, false},
      {"Cerpadlo_1", CommandChars, true},
      {"Cerpadlo 1", CommandChars, false},  // no space in a command
      {"ON-1", CommandChars, false},
      {"Dvere ~", NameChars, false},  // "~" only in SMS texts
      {"Dvere ~", TextChars, true},
      {"say \"hi\"", TextChars, false},  // never the double quote
      {"Čerpadlo", TextChars, false},    // no Czech letters in the unit's texts
      {"a\\b|c`d", NameChars, true},
      {"2,7", NumberChars, true},
      {"-5", NumberChars, false},
  };
  for (const auto& c : cases) EXPECT_EQ(HasOnlyAllowedChars(c.text, c.set), c.allowed) << c.text;
  // A NUL inside a text is refused like any other control character.
  EXPECT_FALSE(HasOnlyAllowedChars(std::string("a\0b", 3), TextChars));
  // A cut-off UTF-8 sequence is just another refused character.
  EXPECT_FALSE(HasOnlyAllowedChars("ab\xC4", TextChars));
  EXPECT_FALSE(HasOnlyAllowedChars("\xFF\xFE", TextChars));
}

// The line under a character rule's message: each refused character once, in
// the order typed, the invisible ones by name.
TEST(RefusedCharsLine, NamesEachOffendingCharacterOnceAndVisibly) {
  const struct {
    std::string text;
    std::string_view set;
    const char* line;
  } cases[] = {
      {"Síť", NameChars, "Nepovolené znaky: „í“, „ť“."},
      {"Síť síť", CommandChars, "Nepovolené znaky: „í“, „ť“, mezera."},
      {"say \"hi\"", TextChars, "Nepovolený znak: „\"“."},
      {"a\tb\x7F\t", TextChars, "Nepovolené znaky: řídicí znak U+0009, řídicí znak U+007F."},
      {std::string("a\0b", 3), TextChars, "Nepovolený znak: řídicí znak U+0000."},
      {"ab\xC4", TextChars, "Nepovolený znak: bajt 0xC4."},
      {"Dvere_1", CommandChars, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RefusedCharsLine(c.text, c.set), c.line) << c.text;
}

struct KeywordCase {
  const char* name;
  bool free;
};

TEST(IsKeywordFree, RefusesKeywordsAndTheirBeginningsIgnoringCase) {
  const std::vector<KeywordCase> cases = {
      {"", true},      {"B", false},     {"b", false},        {"J", false},     {"n", false},       {"R", false},
      {"S", false},    {"z", false},     {"st", false},       {"Stav", false},  {"RESET", false},   {"nob", false},
      {"sta", false},  {"STATE", false}, {"shutdown", false}, {"Jmeno", false}, {"nezpet", false},  {"zpe", false},
      {"NAM", false},  {"STATES", true}, {"RESETX", true},    {"A", true},      {"status", true},   {"start", true},
      {"STAVY", true}, {"BACKUP", true}, {"X", true},         {"1", true},      {"Cerpadlo", true}, {"S T", true},
      {"ST;", true},  // ";" is not part of any keyword
  };
  for (const auto& c : cases) EXPECT_EQ(IsKeywordFree(c.name, KeywordList), c.free) << c.name;
}

TEST(IsKeywordFree, EntryListsOfTheWriteWorkflow) {
  // The entries are built by the write workflow from the outputs' texts; an
  // empty entry never collides and a ";" inside a text stays part of it.
  const std::vector<std::string> entries = {"ZAP", "", "Svetlo zap", "a;b"};
  EXPECT_FALSE(IsKeywordFree("zap", entries));
  EXPECT_FALSE(IsKeywordFree("svetlo", entries));
  EXPECT_FALSE(IsKeywordFree("a;", entries));
  EXPECT_TRUE(IsKeywordFree("b", entries));
  EXPECT_TRUE(IsKeywordFree("ZAPX", entries));
  EXPECT_TRUE(IsKeywordFree("", entries));
  EXPECT_TRUE(IsKeywordFree("x", std::vector<std::string>{}));
  // A ";"-separated list with empty entries and a trailing ";".
  EXPECT_FALSE(IsKeywordFree("on", std::string_view("OFF;;ONX;")));
  EXPECT_TRUE(IsKeywordFree("onxy", std::string_view("OFF;;ONX;")));
}

struct PrefixCase {
  const char* a;
  const char* b;
  bool prefix;
};

TEST(IsPrefixOfEachOther, ShorterTextBeginsTheOther) {
  const std::vector<PrefixCase> cases = {
      {"ON", "ONX", true},  {"ONX", "ON", true},     {"on", "ONX", true}, {"ON", "OFF", false},
      {"ON", "on", true},   {"", "ON", false},       {"ON", "", false},   {"", "", false},
      {"ZAP", "ZAP", true}, {"ZAP1", "ZAP2", false}, {"A", "BA", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isPrefixOfEachOther(c.a, c.b), c.prefix) << c.a << " / " << c.b;
}

TEST(EqualsIgnoringCase, FoldsAsciiAndCentralEuropeanLetters) {
  EXPECT_TRUE(EqualsIgnoringCase("Open", "OPEN"));
  EXPECT_TRUE(EqualsIgnoringCase("", ""));
  EXPECT_FALSE(EqualsIgnoringCase("Open", "Opene"));
  EXPECT_TRUE(EqualsIgnoringCase("Čerpadlo Žluté", "čERPADLO žLUTÉ"));
  EXPECT_TRUE(EqualsIgnoringCase("ŘEŠENÍ ĽŮ", "řešení ľů"));
  EXPECT_FALSE(EqualsIgnoringCase("č", "c"));
  EXPECT_FALSE(EqualsIgnoringCase("×", "÷"));  // not letters
  // Invalid bytes compare only with themselves and never crash.
  EXPECT_TRUE(EqualsIgnoringCase("a\xC4", "A\xC4"));
  EXPECT_FALSE(EqualsIgnoringCase("a\xC4", "a\xC5"));
}

}  // namespace
}  // namespace vexa::rules
