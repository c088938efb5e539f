#include "file/config_file.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/header.h"
#include "file/disk_file.h"
#include "texts/texts.h"
#include "model/fields.h"
#include "workspace/usage.h"

namespace vexa {

bool EncodeConfigForFile(Workspace& ws, long& length, Failure& failure) {
  long used = 0;
  EncodeError error;
  if (!EncodeImage(ws, &used, &error)) {
    failure = Failure::Of(FailureKind::Refused, DescribeEncodeError(error));
    return false;
  }
  if (!IsImageValid(ws.image)) {
    failure = Failure::Of(FailureKind::Refused, texts::kEncodedHeaderBroken);
    return false;
  }
  // The usage figure always covers the encoded image; should it ever fall
  // short, the file still holds the whole image up to its end marker.
  length = SavedFileLength(SavedFileUsage(ws.config, used));
  if (length > kImageSize) {
    failure = Failure::Of(FailureKind::Refused, texts::kCauseLongerThanMemory);
    return false;
  }
  return true;
}

bool WriteConfigImage(const std::string& path, const EepromImage& image, long length, Failure& failure,
                      const WriteFileOptions& options) {
  if (length > kImageSize) {
    failure = Failure::Of(FailureKind::Refused, texts::kCauseLongerThanMemory).AtPath(path);
    return false;
  }
  if (length < 0) {
    failure = Failure::Of(FailureKind::Refused, texts::kCauseNegativeLength).AtPath(path);
    return false;
  }
  return WriteFileAtomically(path, image.data(), static_cast<std::size_t>(length), failure, options);
}

bool CopyBytesToImage(const std::uint8_t* data, std::size_t size, EepromImage& image) {
  if (size > static_cast<std::size_t>(kImageSize)) return false;
  if (size != 0) std::memcpy(image.data(), data, size);
  return true;
}

bool ReadConfigFile(const std::string& path, EepromImage& image, long* fileLength, EventLoop* loop, Failure* failure) {
  // Read everything first, so that a failed read leaves the image as it was.
  std::vector<std::uint8_t> bytes;
  Failure local;
  if (!ReadRegularFile(path, static_cast<std::size_t>(kImageSize), bytes, failure != nullptr ? *failure : local,
                       loop)) {
    return false;
  }
  if (!CopyBytesToImage(bytes.data(), bytes.size(), image)) return false;
  if (fileLength != nullptr) *fileLength = static_cast<long>(bytes.size());
  return true;
}

namespace {

// A text of the configuration that holds a byte no character of the code
// page stands for (0x81, 0x83, 0x88, 0x90, 0x98, decoded as the control
// character of that number): its field and the byte. Such a text would show
// as nothing in its field.
std::optional<Failure> UnassignedByte(const DeviceConfig& config) {
  for (const FieldInfo& info : kFields) {
    if (info.kind != FieldKind::Text || info.family == Family::Program) continue;
    for (int row = 0; row < RowCount(info.family); ++row) {
      const FieldRef ref{info.field, row};
      const std::string* text = TextOf(config, ref);
      if (text == nullptr) continue;
      for (const unsigned byte : {0x81u, 0x83u, 0x88u, 0x90u, 0x98u}) {
        const char utf8[] = {'\xC2', static_cast<char>(byte), '\0'};
        if (text->find(utf8) == std::string::npos) continue;
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", byte);
        return Failure::Of(FailureKind::Data, FieldDisplayName(ref) + ": " + texts::UnassignedByteCause(hex));
      }
    }
  }
  return std::nullopt;
}

}  // namespace

bool DecodeConfigImage(Workspace& ws, const EepromImage& loaded, long length, Failure& failure,
                       const std::function<void()>& beforeDecoding) {
  if (!IsImageValid(loaded)) {
    failure = Failure::Of(FailureKind::Data, texts::kCauseHeaderBroken);
    return false;
  }
  // A file cut short before its end marker would otherwise be completed from
  // bytes of an earlier image; it is refused like a damaged header.
  // Damage the file's own bytes show is named; a fault that only the bytes
  // past its end would settle means it was cut short.
  if (!IsImageCompleteWithin(loaded, length)) {
    DeviceConfig unused;
    DecodeError why;
    const bool damaged = !DecodeImage(loaded, ws.scales, ws.decimalSeparator, unused, &why) && why.end <= length;
    failure = Failure::Of(FailureKind::Data, damaged ? DescribeDecodeError(why) : texts::kCauseFileCutShort);
    return false;
  }
  // A byte no character stands for is refused, never shown invisible.
  if (DeviceConfig probe; DecodeImage(loaded, ws.scales, ws.decimalSeparator, probe)) {
    if (auto bad = UnassignedByte(probe)) {
      failure = std::move(*bad);
      return false;
    }
  }
  if (beforeDecoding) beforeDecoding();
  DecodeError why;
  if (!DecodeImage(ws, loaded, &why)) {
    // What could not be read and where.
    failure = Failure::Of(FailureKind::Data, DescribeDecodeError(why));
    return false;
  }
  return true;
}

LoadResult LoadConfigFile(const std::string& path, Workspace& ws, Failure* failure,
                          const std::function<void()>& beforeDecoding) {
  Failure local;
  Failure& f = failure != nullptr ? *failure : local;
  long length = 0;
  EepromImage loaded = ws.image;
  if (!ReadConfigFile(path, loaded, &length, nullptr, &f)) return LoadResult::ReadError;
  // The messages that show a refused file name it; the reason is the cause.
  return DecodeConfigImage(ws, loaded, length, f, beforeDecoding) ? LoadResult::Loaded : LoadResult::NotValid;
}

LoadResult LoadConfigBytes(const std::uint8_t* data, std::size_t size, Workspace& ws) {
  EepromImage loaded = ws.image;
  if (!CopyBytesToImage(data, size, loaded)) return LoadResult::ReadError;
  Failure failure;
  return DecodeConfigImage(ws, loaded, static_cast<long>(size), failure) ? LoadResult::Loaded : LoadResult::NotValid;
}

SaveResult SaveConfigFile(const std::string& path, Workspace& ws, Failure* failure) {
  Failure local;
  Failure& f = failure != nullptr ? *failure : local;
  long length = 0;
  if (!EncodeConfigForFile(ws, length, f)) return SaveResult::EncodeError;
  return WriteConfigImage(path, ws.image, length, f) ? SaveResult::Saved : SaveResult::WriteError;
}

}  // namespace vexa
