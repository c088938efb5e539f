// The image's header test, its used length, and the bounds-checked walk over
// the text area that the decoder and the file load share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codec/image.h"

namespace vexa {

// Bytes 0..47 summed, plus 1, modulo 256; 13 (carriage return) becomes 12.
std::uint8_t HeaderChecksum(const EepromImage& image);
// True when the magic word at 46 is 0x2582 and byte 48 is the checksum of
// bytes 0..47.
bool IsImageValid(const EepromImage& image);

// Reads the NUL-terminated string at `pos` (raw code page bytes, terminator
// excluded) into `out` when given, and moves `pos` just past the terminator.
// False when the string runs past the end of the image.
bool ReadImageString(const EepromImage& image, long& pos, std::string* out);
// Writes `bytes` and a terminating 0x00 at `pos` and moves `pos` past it.
// False (image untouched) when the text holds a 0x00 or would run past the
// end of the image.
bool WriteImageString(EepromImage& image, long& pos, std::string_view bytes);
// Reads one entry of the phone block as the unit stores it: an empty entry is
// a single 0x00; otherwise two hexadecimal characters of the digit count, two
// of the type, the swapped digit pairs, and one terminator byte (skipped, not
// checked). `address` receives the address text ("" for an empty entry).
// False when the count is not hexadecimal or the entry runs past the image.
bool ReadPhoneEntry(const EepromImage& image, long& pos, std::string* address);

// Offset just past the end marker: the text blocks are walked from the
// header's pointers and the word right after the last general text must be
// FF FF. nullopt when a pointer, string or phone entry runs off the image or
// the marker is not there.
std::optional<long> UsedLength(const EepromImage& image);
// True when the end marker and every byte the decoder reads (header, fixed
// settings, each text block) lie within the first `length` bytes. A file of
// that length that fails this test was cut short.
bool IsImageCompleteWithin(const EepromImage& image, long length);

}  // namespace vexa
