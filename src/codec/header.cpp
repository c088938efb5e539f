#include "codec/header.h"

#include <algorithm>
#include <cstring>

#include "codec/layout.h"
#include "codec/values.h"

namespace vexa {

std::uint8_t HeaderChecksum(const EepromImage& image) {
  unsigned sum = 0;
  const std::uint8_t* bytes = image.data();
  for (long i = 0; i < layout::kChecksummedBytes; ++i) sum += bytes[i];
  const auto checksum = static_cast<std::uint8_t>((sum + 1) & 0xFF);
  return checksum == 13 ? 12 : checksum;
}

bool IsImageValid(const EepromImage& image) {
  return image.ReadWord(layout::kMagicWord) == layout::kImageMagic &&
         image.ReadByte(layout::kChecksumByte) == HeaderChecksum(image);
}

bool ReadImageString(const EepromImage& image, long& pos, std::string* out) {
  if (pos < 0 || pos >= kImageSize) return false;
  const auto* start = image.data() + pos;
  const auto* nul = static_cast<const std::uint8_t*>(std::memchr(start, 0, static_cast<std::size_t>(kImageSize - pos)));
  if (nul == nullptr) return false;
  if (out != nullptr) out->assign(reinterpret_cast<const char*>(start), static_cast<std::size_t>(nul - start));
  pos += (nul - start) + 1;
  return true;
}

bool WriteImageString(EepromImage& image, long& pos, std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos) return false;
  const long length = static_cast<long>(bytes.size());
  if (pos < 0 || length >= kImageSize || pos > kImageSize - length - 1) return false;
  if (length > 0) std::memcpy(image.data() + pos, bytes.data(), bytes.size());
  image.data()[pos + length] = 0;
  pos += length + 1;
  return true;
}

bool ReadPhoneEntry(const EepromImage& image, long& pos, std::string* address) {
  const auto first = image.ReadByte(pos);
  if (!first) return false;
  if (*first == 0) {
    if (address != nullptr) address->clear();
    pos += 1;
    return true;
  }
  const auto second = image.ReadByte(pos + 1);
  if (!second) return false;
  const auto count = HexPairToByte(static_cast<char>(*first), static_cast<char>(*second));
  if (!count) return false;
  // The count and type characters, then the digit pairs ("F" pads an odd count).
  long digits = *count + (*count % 2);
  if (digits != 0) digits += 2;
  const long length = 2 + digits;
  if (pos > kImageSize - length) return false;
  if (address != nullptr)
    address->assign(reinterpret_cast<const char*>(image.data() + pos), static_cast<std::size_t>(length));
  pos += length + 1;  // over the terminator, which is not checked
  return true;
}

namespace {

// Walks one block from its slot's pointer; `end` receives the offset just
// past its last string.
bool WalkBlock(const EepromImage& image, long slot, long& end) {
  const auto pointer = image.ReadWord(slot);
  if (!pointer) return false;
  long pos = *pointer;
  if (slot == layout::kPhoneSlot) {
    for (int row = 0; row < kRows; ++row) {
      if (!ReadPhoneEntry(image, pos, nullptr)) return false;
    }
  } else {
    const int strings = slot == layout::kSpareSlot ? layout::kSpareStrings : kRows;
    for (int i = 0; i < strings; ++i) {
      if (!ReadImageString(image, pos, nullptr)) return false;
    }
  }
  end = pos;
  return true;
}

struct Extent {
  long usedLength = 0;  // just past the end marker
  long readEnd = 0;     // just past the last byte the decoder reads
};

std::optional<Extent> MeasureImage(const EepromImage& image) {
  Extent extent;
  extent.readEnd = layout::kFixedSettingsEnd;
  long markerPos = -1;
  for (long slot : layout::kBlockOrder) {
    long end = 0;
    if (!WalkBlock(image, slot, end)) return std::nullopt;
    extent.readEnd = std::max(extent.readEnd, end);
    if (slot == layout::kGeneralSlot) markerPos = end;
  }
  if (image.ReadWord(markerPos) != layout::kEndMarker) return std::nullopt;
  extent.usedLength = markerPos + 2;
  extent.readEnd = std::max(extent.readEnd, extent.usedLength);
  return extent;
}

}  // namespace

std::optional<long> UsedLength(const EepromImage& image) {
  const auto extent = MeasureImage(image);
  if (!extent) return std::nullopt;
  return extent->usedLength;
}

bool IsImageCompleteWithin(const EepromImage& image, long length) {
  const auto extent = MeasureImage(image);
  return extent && extent->readEnd <= length;
}

}  // namespace vexa
