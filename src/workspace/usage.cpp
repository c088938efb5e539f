#include "workspace/usage.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "codec/text.h"
#include "codec/values.h"
#include "model/fields.h"

namespace vexa {
namespace {

// Bytes of a text in the image: its characters and the terminating zero.
inline std::int32_t Counted(const std::string& text) { return static_cast<std::int32_t>(Utf8Length(text)) + 1; }

// Bytes of a phone number in the image: its address text (two hexadecimal
// count digits, two type digits, then the digits padded to an even count) and
// the terminator. A number without any digit ("" or "+" alone) is stored as
// the terminator only, so it counts 1. The figure is that of the length of
// EncodePhoneNumber's text, computed without building it.
inline std::int32_t CountedPhone(const std::string& number) {
  std::size_t digits = Utf8Length(number);  // one byte per character in the unit
  if (!number.empty() && number.front() == '+') --digits;
  if (digits == 0) return 1;
  if (digits > 255)
    return static_cast<std::int32_t>(EncodePhoneNumber(std::string(digits, '0')).size()) + 1;  // wider count
  const std::size_t padded = digits + (digits % 2);
  return static_cast<std::int32_t>(4 + padded + 1);
}

std::string WithByte(std::int32_t value) { return std::to_string(value) + " byte"; }

}  // namespace

std::optional<std::int32_t> MemorySizeOf(const std::string& caption) {
  if (caption.size() <= 5) return std::nullopt;
  std::string_view number(caption.data(), caption.size() - 5);
  while (!number.empty() && number.front() == ' ') number.remove_prefix(1);
  if (number.empty()) return std::nullopt;
  std::int32_t size = 0;
  auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), size);
  if (ec != std::errc() || ptr != number.data() + number.size()) return std::nullopt;
  return size;
}

long SavedFileUsage(const DeviceConfig& config, long encodedLength) {
  return std::max<long>(ComputeUsage(config), encodedLength + 1);
}

long SavedFileLength(long usage) { return std::max(1L, usage - 1); }

int ComputeUsage(const DeviceConfig& config) {
  // The fixed part of the image, and two bytes between the texts and the
  // phone numbers.
  std::int32_t usage = 275 + 2;
  // Every counted text of the field table, in every row of its family; the
  // battery-low text is counted again under its own name.
  for (const FieldInfo& info : kFields) {
    if (!info.counted) continue;
    const int rows = info.fixedRow >= 0 ? 1 : RowCount(info.family);
    for (int row = 0; row < rows; ++row) {
      const std::string* text = TextOf(config, {info.field, row});
      if (text == nullptr) continue;
      usage += info.form == TextForm::Phone ? CountedPhone(*text) : Counted(*text);
    }
  }
  return usage;
}

MemoryUsage UpdateMemoryUsage(const DeviceConfig& config, const std::string& memorySizeText) {
  MemoryUsage result;
  result.usage = ComputeUsage(config);
  result.usageText = WithByte(result.usage);
  const auto size = MemorySizeOf(memorySizeText);
  if (!size) {
    result.freeText.assign(1, '?');
    result.freeColour = kBlue;
    return result;
  }
  const std::int32_t free = *size - result.usage;
  result.freeText = WithByte(free);
  result.freeColour = free < 0 ? kRed : kBlue;
  return result;
}

}  // namespace vexa
