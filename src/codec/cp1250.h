// Code page 1250 (Central European), the single-byte character set of the
// unit's texts, and the UTF-8 helpers the program counts texts with.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexa {

// A character that code page 1250 cannot hold becomes "?".
// Invalid UTF-8 bytes also become "?".
std::string Utf8ToCp1250(std::string_view utf8);
// Every byte maps to a character (the five unassigned bytes map to U+FFFD).
std::string Cp1250ToUtf8(std::string_view cp1250);

// Number of characters (code points) of a UTF-8 text; this is the number of
// bytes the text takes in the unit.
std::size_t Utf8Length(std::string_view utf8);
// The first n characters of a UTF-8 text.
std::string Utf8Left(std::string_view utf8, std::size_t n);

}  // namespace vexa
