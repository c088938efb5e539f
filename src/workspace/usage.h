// How many EEPROM bytes the configuration takes, and the space left in the
// identified unit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/device_config.h"

namespace vexa {

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};

struct MemoryUsage {
  int usage = 0;
  std::string usageText;  // "430 byte"
  std::string freeText;   // "15890 byte" or "?"
  Rgb freeColour = kBlue; // red when free space is negative
};

// The usable size in bytes that a memory-size caption such as " 16320 byte"
// states; nullopt for "?" or a caption without a number.
std::optional<std::int32_t> MemorySizeOf(const std::string& caption);

// Bytes the configuration will need (430 with every text empty).
int ComputeUsage(const DeviceConfig& config);
// The usage figure of a saved file of `config` whose encoded image ends at
// `encodedLength` (its end marker included): ComputeUsage, never less than
// the encoded length + 1, so that the file always holds the whole image up to
// its end marker. Every save, backup and vexa-cli output uses it.
long SavedFileUsage(const DeviceConfig& config, long encodedLength);
// The file's length for a usage figure: the first usage - 1 bytes of the
// image, at least one.
long SavedFileLength(long usage);

// memorySizeText is the memory-size label's caption ("?" or e.g. " 16320 byte").
MemoryUsage UpdateMemoryUsage(const DeviceConfig& config, const std::string& memorySizeText);

}  // namespace vexa
