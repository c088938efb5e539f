// The one working copy of the unit's EEPROM: offsets 0..65,535.
//
// Every access goes through a checked accessor; an offset outside the image is
// reported to the caller (a damaged file or a noisy line is data, never a
// crash).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace vexa {

inline constexpr long kImageSize = 65536;

class EepromImage {
 public:
  EepromImage() { bytes_.fill(0); }

  std::optional<std::uint8_t> ReadByte(long offset) const {
    if (offset < 0 || offset >= kImageSize) return std::nullopt;
    return bytes_[static_cast<std::size_t>(offset)];
  }
  bool WriteByte(std::uint8_t value, long offset) {
    if (offset < 0 || offset >= kImageSize) return false;
    bytes_[static_cast<std::size_t>(offset)] = value;
    return true;
  }
  // Little-endian words: low byte at the lower offset.
  std::optional<std::uint16_t> ReadWord(long offset) const {
    auto lo = ReadByte(offset);
    auto hi = ReadByte(offset + 1);
    if (!lo || !hi) return std::nullopt;
    return static_cast<std::uint16_t>(*lo | (*hi << 8));
  }
  bool WriteWord(std::uint16_t value, long offset) {
    if (offset < 0 || offset + 1 >= kImageSize) return false;
    WriteByte(static_cast<std::uint8_t>(value & 0xFF), offset);
    WriteByte(static_cast<std::uint8_t>(value >> 8), offset + 1);
    return true;
  }

  const std::uint8_t* data() const { return bytes_.data(); }
  std::uint8_t* data() { return bytes_.data(); }
  bool operator==(const EepromImage&) const = default;

 private:
  std::array<std::uint8_t, kImageSize> bytes_;
};

// The named accessors the rest of the program uses.
inline std::optional<std::uint8_t> ReadImageByte(const EepromImage& im, long offset) { return im.ReadByte(offset); }
inline bool WriteImageByte(EepromImage& im, std::uint8_t value, long offset) { return im.WriteByte(value, offset); }
inline std::optional<std::uint16_t> ReadImageWord(const EepromImage& im, long offset) { return im.ReadWord(offset); }
inline bool WriteImageWord(EepromImage& im, std::uint16_t value, long offset) { return im.WriteWord(value, offset); }

}  // namespace vexa
