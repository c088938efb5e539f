// The one UTF-8 reader: every module that reads a character of a text gets the
// same answer for a malformed sequence.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/cp1250.h"
#include "codec/text.h"
#include "rules/rules.h"

namespace vexa {
namespace {

TEST(ReadUtf8Char, ShortestFormsOnly) {
  struct Case {
    std::string bytes;
    std::vector<std::size_t> sizes;  // bytes of each character read in turn
    std::vector<char32_t> chars;     // 0 for an invalid one
  };
  const std::vector<Case> cases = {
      {"a", {1}, {U'a'}},
      {"\xC4\x9B", {2}, {0x11B}},                        // ě
      {"\xE2\x82\xAC", {3}, {0x20AC}},                   // €
      {"\xF0\x9F\x98\x80", {4}, {0x1F600}},              // a four-byte character
      {"\xC0\xAF", {1, 1}, {0, 0}},                      // overlong "/"
      {"\xC1\xBF", {1, 1}, {0, 0}},                      // overlong
      {"\xE0\x80\xAF", {1, 1, 1}, {0, 0, 0}},            // overlong three-byte form
      {"\xF0\x80\x80\xAF", {1, 1, 1, 1}, {0, 0, 0, 0}},  // overlong four-byte form
      {"\xED\xA0\x80", {1, 1, 1}, {0, 0, 0}},            // surrogate
      {"\xF4\x90\x80\x80", {1, 1, 1, 1}, {0, 0, 0, 0}},  // above U+10FFFF
      {"\xE2\x82"
       "a",
       {2, 1},
       {0, U'a'}},  // cut short: its well-formed beginning is one invalid character
      {"\x80", {1}, {0}},
      {"\xFF", {1}, {0}},
  };
  for (const auto& c : cases) {
    std::vector<std::size_t> sizes;
    std::vector<char32_t> chars;
    for (std::size_t i = 0; i < c.bytes.size();) {
      const Utf8Char u = ReadUtf8Char(c.bytes, i);
      sizes.push_back(u.size);
      chars.push_back(u.valid ? u.ch : 0);
      i += u.size;
    }
    EXPECT_EQ(sizes, c.sizes) << c.bytes;
    EXPECT_EQ(chars, c.chars) << c.bytes;
    // The counters and the character rules read it the same way.
    EXPECT_EQ(Utf8Length(c.bytes), c.sizes.size()) << c.bytes;
    const bool allValid = std::find(c.chars.begin(), c.chars.end(), 0) == c.chars.end();
    EXPECT_EQ(rules::HasOnlyAllowedChars(c.bytes, c.bytes), true) << c.bytes;
    EXPECT_EQ(rules::HasOnlyAllowedChars(c.bytes, "a/"), allValid && c.bytes == "a") << c.bytes;
  }
}

// What a terminal would obey is shown instead; what it only prints stays.
TEST(TerminalSafe, ControlsAndBrokenBytesBecomeVisible) {
  const struct {
    std::string text, shown;
  } cases[] = {
      {"Čerpadlo Lhota", "Čerpadlo Lhota"},
      {"a\x1b[1Ab", "a\\x1b[1Ab"},             // cursor up
      {"\x1b]0;title\x07", "\\x1b]0;title\\x07"},  // window title, bell
      {"tab\there\r\n", "tab\\x09here\\x0d\\x0a"},
      {"del\x7f", "del\\x7f"},
      {"c1\xc2\x9b" "2J", "c1\\x9b2J"},        // the one-character CSI
      {"raw\x9b", "raw\\x9b"},                 // not UTF-8: the byte itself
      {"\xe2\x80\xae" "evil", "\\u202eevil"},   // right-to-left override
      {std::string("nul\0x", 5), "nul\\x00x"},
  };
  for (const auto& c : cases) EXPECT_EQ(TerminalSafe(c.text), c.shown) << c.text;
  // A message with its reason keeps its lines; each line is escaped alone.
  EXPECT_EQ(TerminalSafeLines("Zpráva.\r\nDůvod \x1b[2K.\n"), "Zpráva.\nDůvod \\x1b[2K.\n");
}

}  // namespace
}  // namespace vexa
