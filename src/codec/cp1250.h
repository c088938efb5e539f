// Code page 1250 (Central European), the single-byte character set of the
// unit's texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "codec/text.h"

namespace vexa {

// A character that code page 1250 cannot hold becomes "?".
// Invalid UTF-8 bytes also become "?".
std::string Utf8ToCp1250(std::string_view utf8);
// Every byte maps to a character of its own: the five bytes the code page
// leaves unassigned (0x81, 0x83, 0x88, 0x90, 0x98) map to the control
// characters of the same number, so that every byte survives a read, an edit
// and a write.
std::string Cp1250ToUtf8(std::string_view cp1250);

// The lower case of an ASCII letter or of a letter of the code page ("Č" is
// "č", "Ł" is "ł"); any other character as it is.
char32_t Cp1250LowerCase(char32_t ch);
// The plain ASCII form of a letter of the code page with an accent ("č" is
// "c", "Ř" is "R", "ß" is "ss"); empty for any other character.
std::string_view Cp1250PlainLetter(char32_t ch);

}  // namespace vexa
