#include "file/config_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/header.h"
#include "file/disk_file.h"
#include "platform/texts.h"
#include "workspace/usage.h"

namespace vexa {
bool WriteConfigFile(const std::string& path, const EepromImage& image, int usage, const WriteFileOptions& options,
                     Failure* failure) {
  Failure local;
  Failure& f = failure != nullptr ? *failure : local;
  const long length = SavedFileLength(usage);
  if (length > kImageSize) {
    f = Failure::Of(FailureKind::Refused, "nastavení je delší než paměť zařízení").AtPath(path);
    return false;
  }
  return WriteFileAtomically(path, image.data(), static_cast<std::size_t>(length), f, options);
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

bool IsLoadedImageValid(const EepromImage& image, long fileLength) {
  return IsImageValid(image) && IsImageCompleteWithin(image, fileLength);
}

namespace {
// The file's bytes lie over a copy of the image; the workspace takes them
// only when they decode.
LoadResult TestAndDecode(Workspace& ws, const EepromImage& loaded, long length) {
  if (!IsLoadedImageValid(loaded, length)) return LoadResult::NotValid;
  return DecodeImage(ws, loaded) ? LoadResult::Loaded : LoadResult::NotValid;
}
}  // namespace

LoadResult LoadConfigFile(const std::string& path, Workspace& ws, Failure* failure) {
  long length = 0;
  EepromImage loaded = ws.image;
  if (!ReadConfigFile(path, loaded, &length, nullptr, failure)) return LoadResult::ReadError;
  return TestAndDecode(ws, loaded, length);
}

LoadResult LoadConfigBytes(const std::uint8_t* data, std::size_t size, Workspace& ws) {
  EepromImage loaded = ws.image;
  if (!CopyBytesToImage(data, size, loaded)) return LoadResult::ReadError;
  return TestAndDecode(ws, loaded, static_cast<long>(size));
}

namespace {
// Encodes into the workspace's image; the length of the file it makes.
SaveResult EncodeForFile(Workspace& ws, long& length, std::string* why) {
  long used = 0;
  EncodeError error;
  if (!EncodeImage(ws, &used, &error)) {
    if (why != nullptr) *why = DescribeEncodeError(error);
    return SaveResult::EncodeError;
  }
  if (!IsImageValid(ws.image)) {
    if (why != nullptr) *why = texts::kEncodedHeaderBroken;
    return SaveResult::EncodeError;
  }
  // The usage figure always covers the encoded image; should it ever fall
  // short, the file still holds the whole image up to its end marker.
  length = SavedFileUsage(ws.config, used);
  return SaveResult::Saved;
}
}  // namespace

SaveResult SaveConfigFile(const std::string& path, Workspace& ws, EventLoop* loop, std::string* why) {
  long usage = 0;
  const SaveResult encoded = EncodeForFile(ws, usage, why);
  if (encoded != SaveResult::Saved) return encoded;
  Failure failure;
  if (WriteConfigFile(path, ws.image, static_cast<int>(usage), {.loop = loop}, &failure)) return SaveResult::Saved;
  if (why != nullptr) *why = failure.Reason();
  return SaveResult::WriteError;
}

SaveResult EncodeConfigBytes(Workspace& ws, std::vector<std::uint8_t>& bytes, std::string* why) {
  long usage = 0;
  const SaveResult encoded = EncodeForFile(ws, usage, why);
  if (encoded != SaveResult::Saved) return encoded;
  const long length = std::min(SavedFileLength(usage), static_cast<long>(kImageSize));
  bytes.assign(ws.image.data(), ws.image.data() + length);
  return SaveResult::Saved;
}


}  // namespace vexa
