// Code page 1250, the character set of the unit's texts, and the UTF-8 helpers
// that count texts the way the unit stores them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/cp1250.h"
#include "codec/decoder.h"
#include "codec/encoder.h"
#include "texts/texts.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

// Every byte value, the five the code page leaves unassigned included, comes
// back as it was: through the code page alone, and as a text of the image
// through the encoder and the decoder (0 ends a text and cannot be in one).
TEST(Cp1250, EveryByteSurvivesTheRoundTrip) {
  Workspace ws;
  const DeviceConfig startup = ws.config;
  // Every byte takes the room of a plain letter, in the image and in the usage figure.
  ws.config.general.JmenoStanice = "axz";
  ws.config.phones[2].TC = "1x2";
  long plainUsed = 0;
  ASSERT_TRUE(EncodeImage(ws, &plainUsed));
  const int plainUsage = ComputeUsage(ws.config);
  for (unsigned b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::string utf8 = Cp1250ToUtf8(byte);
    EXPECT_EQ(Utf8Length(utf8), 1u) << b;
    EXPECT_NE(utf8, "\xEF\xBF\xBD") << b;
    EXPECT_EQ(Utf8ToCp1250(utf8), byte) << b;
    EXPECT_EQ(RefusedChars(utf8, Cp1250Characters()), b == 0 ? "řídicí znak U+0000" : "") << b;
    if (b == 0) continue;
    // In a text, and in a phone number as a unit may hold one ("ěš12").
    ws.config.general.JmenoStanice = "a" + utf8 + "z";
    ws.config.phones[2].TC = "1" + utf8 + "2";
    long used = 0;
    ASSERT_TRUE(EncodeImage(ws, &used)) << b;
    EXPECT_EQ(used, plainUsed) << b;
    EXPECT_EQ(ComputeUsage(ws.config), plainUsage) << b;
    ws.config = startup;
    ASSERT_TRUE(DecodeImage(ws)) << b;
    EXPECT_EQ(ws.config.general.JmenoStanice, "a" + utf8 + "z") << b;
    EXPECT_EQ(ws.config.phones[2].TC, "1" + utf8 + "2") << b;
  }
}

TEST(Cp1250, CzechAndTypographicCharacters) {
  struct Case {
    std::string utf8;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"ěščřžýáíéůú", "\xEC\x9A\xE8\xF8\x9E\xFD\xE1\xED\xE9\xF9\xFA"},
      {"ĚŠČŘŽÝÁÍÉŮÚ", "\xCC\x8A\xC8\xD8\x8E\xDD\xC1\xCD\xC9\xD9\xDA"},
      {"ďťňĎŤŇóÓ", "\xEF\x9D\xF2\xCF\x8D\xD2\xF3\xD3"},
      {"–", "\x96"},
      {"—", "\x97"},
      {"°", "\xB0"},
      {"€", "\x80"},
      {"„“", "\x84\x93"},
      {"\xC2\xA0", "\xA0"},  // no-break space
      {"ˇ", "\xA1"},
      {"˙", "\xFF"},
      {"Čerpací stanice Horní Lhota – vrt 2",
       "\xC8"
       "erpac\xED stanice Horn\xED Lhota \x96 vrt 2"},
      {"plain ASCII ~!", "plain ASCII ~!"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToCp1250(c.utf8), c.bytes) << c.utf8;
    EXPECT_EQ(Cp1250ToUtf8(c.bytes), c.utf8) << c.utf8;
    EXPECT_EQ(Utf8Length(c.utf8), c.bytes.size()) << c.utf8;
  }
}

TEST(Cp1250, LettersInLowerCaseAndPlain) {
  const struct {
    char32_t ch, lower;
    const char* plain;
  } cases[] = {
      {U'Č', U'č', "C"}, {U'ř', U'ř', "r"}, {U'Ł', U'ł', "L"}, {U'Ż', U'ż', "Z"}, {U'ß', U'ß', "ss"},
      {U'µ', U'µ', ""},  {U'×', U'×', ""},  {U'A', U'a', ""},  {U'Æ', U'Æ', ""},  {0, 0, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1250LowerCase(c.ch), c.lower) << static_cast<long>(c.ch);
    EXPECT_EQ(Cp1250PlainLetter(c.ch), c.plain) << static_cast<long>(c.ch);
  }
  // The lower case of every character of the code page is one too.
  for (int b = 0; b < 256; ++b) {
    const std::string utf8 = Cp1250ToUtf8(std::string(1, static_cast<char>(b)));
    const Utf8Char u = ReadUtf8Char(utf8, 0);
    std::string lower;
    AppendUtf8(lower, Cp1250LowerCase(u.ch));
    EXPECT_EQ(Cp1250ToUtf8(Utf8ToCp1250(lower).value()), lower) << b;
  }
}

// What the code page cannot hold is refused and named, never replaced: the
// encoder fails on the field, naming the characters.
TEST(Cp1250, WhatTheCodePageCannotHoldIsRefusedAndNamed) {
  struct Case {
    std::string utf8;
    std::string named;  // as RefusedChars names what the code page lacks
    std::size_t length;  // characters, each a byte that is no UTF-8 counted as one
  };
  const std::vector<Case> cases = {
      {"中", "„中“", 1},
      {"a中b中", "„中“", 4},
      {"500 m³", "„³“", 6},                       // U+00B3, not in the code page
      {"ñ", "„ñ“", 1},                            // Latin-1 letter outside the Central European set
      {"Станция \xF0\x9F\x98\x80 vrt", "„С“, „т“, „а“, „н“, „ц“, „и“, „я“, „😀“", 13},
      {"\xEF\xBF\xBD", "„\xEF\xBF\xBD“", 1},      // U+FFFD itself
      {"\xFF", "bajt 0xFF", 1},                   // never valid in UTF-8
      {"a\xC3", "bajt 0xC3", 2},                  // cut off at the end
      {"\xC0\xAF", "bajt 0xC0, bajt 0xAF", 2},   // overlong form
      {"\xED\xA0\x80", "bajt 0xED, bajt 0xA0, bajt 0x80", 3},  // surrogate
      {"\xC4\x9B\xFF\xC4\x9B", "bajt 0xFF", 3},
  };
  Workspace ws;
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToCp1250(c.utf8), std::nullopt) << c.utf8;
    EXPECT_EQ(RefusedChars(c.utf8, Cp1250Characters()), c.named) << c.utf8;
    EXPECT_EQ(Utf8Length(c.utf8), c.length) << c.utf8;
    // In a text and in a phone number: the encoder refuses it and says which.
    for (FieldRef field : {FieldRef{Field::JmenoStanice}, FieldRef{Field::INPNazev, 3}, FieldRef{Field::TC, 5}}) {
      Workspace w;
      *TextOf(w.config, w.settings, field) = c.utf8;
      EncodeError why;
      EXPECT_FALSE(EncodeImage(w, nullptr, &why)) << c.utf8;
      EXPECT_EQ(why.field, field);
      const bool one = c.named.find(", ") == std::string::npos;
      EXPECT_EQ(why.cause, std::string(one ? texts::kEncodeUnstorableChar : texts::kEncodeUnstorableChars) + c.named);
      EXPECT_TRUE(w.image == ws.image);  // left as it was
    }
  }
}

TEST(Utf8Left, CutsWholeCharactersOnly) {
  struct Case {
    std::string text;
    std::size_t n;
    std::string left;
  };
  const std::vector<Case> cases = {
      {"Čerpací", 3, "Čer"},
      {"Čerpací", 7, "Čerpací"},
      {"Čerpací", 100, "Čerpací"},
      {"Čerpací", 0, ""},
      {"", 5, ""},
      {"ěš", 1, "ě"},
      {"a中b", 2, "a中"},
      {"a\xFF"
       "b",
       2, "a\xFF"},
      {"\xE2\x82", 1, "\xE2\x82"},
  };
  for (const auto& c : cases) {
    const std::string left = Utf8Left(c.text, c.n);
    EXPECT_EQ(left, c.left) << c.text << ' ' << c.n;
    EXPECT_EQ(Utf8Length(left), std::min(c.n, Utf8Length(c.text))) << c.text << ' ' << c.n;
  }
}

}  // namespace
}  // namespace vexa
