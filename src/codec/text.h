// Reading the texts the program handles: UTF-8 characters (what the windows,
// JSON and files on the PC hold) and decimal numbers as the user types them.
// Every module reads a character or a typed number through these, so they
// all agree on a malformed sequence or an odd number.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexa {

struct Utf8Char {
  char32_t ch;       // U+FFFD when not valid
  std::size_t size;  // bytes taken, at least 1
  bool valid;
};

// Reads the character that starts at s[pos] (pos < s.size()). Only the
// shortest form of a code point up to U+10FFFF, not a surrogate, is valid; a
// malformed sequence is taken as its longest well-formed beginning (at least
// one byte) and reported invalid, so an overlong "C0 AF" is two invalid
// characters.
Utf8Char ReadUtf8Char(std::string_view s, std::size_t pos);

// Reads the character at s[pos] and moves `pos` past it. A malformed
// sequence reads as a code point of its own above the Unicode range
// (kInvalidByteBase plus its first byte), which equals only itself.
inline constexpr char32_t kInvalidByteBase = 0x110000;
char32_t NextCharOrByte(std::string_view s, std::size_t& pos);

// Appends the UTF-8 form of a code point up to U+10FFFF.
void AppendUtf8(std::string& out, char32_t ch);

// The text as a terminal may show it: every control character (C0, DEL, C1),
// every character that turns the direction of the text around, and every byte
// that is not valid UTF-8 is written as a visible escape ("\x1b", "\x9b",
// "\u202e"), so that a text from a file or a unit can neither move the cursor
// nor hide what stands beside it. Tabs and line ends are escaped too: one
// text stays on its line.
std::string TerminalSafe(std::string_view utf8);
// A message of several lines (the program's message with its reason
// beneath): each line made terminal-safe, the lines kept apart by "\n" (a
// "\r" before it dropped).
std::string TerminalSafeLines(std::string_view utf8);

// Number of characters of a UTF-8 text; this is the number of bytes the text
// takes in the unit.
std::size_t Utf8Length(std::string_view utf8);
// The first n characters of a UTF-8 text.
std::string Utf8Left(std::string_view utf8, std::size_t n);

// The longest leading decimal number of a text with "," or "." as separator:
// leading blanks, an optional sign, digits, one separator, digits.
struct DecimalText {
  bool negative = false;
  std::string integer;   // digits before the separator
  std::string fraction;  // digits after it
};
DecimalText ReadDecimal(std::string_view text);

// The value of the leading decimal number of a text, not cut; 0 when there is none.
double DecimalValue(std::string_view text);
// Reads the leading decimal number of `text` ("," or "." as separator; an
// empty text reads as 0) and cuts it to one decimal toward minus infinity.
// Every typed tenth survives: "0,7" gives 0.7f and "49,8" gives 49.8f.
float ParseDecimal(std::string_view text);
// The same number as the double nearest the cut decimal (for writing back).
double ParseDecimalExact(std::string_view text);

}  // namespace vexa
