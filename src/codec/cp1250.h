// Code page 1250 (Central European), the single-byte character set of the
// unit's texts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "codec/text.h"

namespace vexa {

// The bytes of a text in code page 1250; none when a character has no byte
// there or a byte is no UTF-8. Nothing is ever replaced: a text the unit
// cannot hold is refused, never stored as something else.
std::optional<std::string> Utf8ToCp1250(std::string_view utf8);
// Every character the code page holds except NUL (which ends a text), in
// UTF-8 and in the order of their bytes: the characters a text may hold.
std::string_view Cp1250Characters();
// The characters of `text` that are not in `allowed`, each once in the order
// they occur, named so that one can see them: "„í“, „ť“", a space as
// "mezera", a control character as "řídicí znak U+001B", a byte that is no
// UTF-8 as "bajt 0xFF". Empty when every character is allowed; `count`,
// when given, receives how many were named.
std::string RefusedChars(std::string_view text, std::string_view allowed, std::size_t* count = nullptr);
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
