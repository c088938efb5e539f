#include "file/config_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>
#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/header.h"
#include "workspace/usage.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

// Bytes between two yields to the event loop.
constexpr std::size_t kChunk = 256;

fs::path PathFromUtf8(const std::string& utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

// A name in the target's folder that does not exist yet.
fs::path TemporaryPathFor(const fs::path& target) {
  static std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
    fs::path candidate = target;
    candidate += suffix;
    std::error_code ec;
    if (!fs::exists(candidate, ec) && !ec) return candidate;
  }
  return {};
}

bool WriteAll(const fs::path& path, const std::uint8_t* data, std::size_t size, EventLoop* loop) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  for (std::size_t done = 0; done < size;) {
    if (loop != nullptr) loop->Yield();
    const std::size_t n = std::min(kChunk, size - done);
    out.write(reinterpret_cast<const char*>(data + done), static_cast<std::streamsize>(n));
    if (!out) return false;
    done += n;
  }
  out.flush();
  out.close();
  return !out.fail();
}

}  // namespace

bool WriteConfigFile(const std::string& path, const EepromImage& image, int usage, EventLoop* loop) {
  const long length = std::max(1L, static_cast<long>(usage) - 1);
  if (length > kImageSize || path.empty()) return false;
  std::error_code ec;
  fs::path target = PathFromUtf8(path);
  // Replace what a link points to, not the link itself.
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (ec) return false;
    target = resolved;
  }
  if (fs::is_directory(target, ec)) return false;
  const fs::path temporary = TemporaryPathFor(target);
  if (temporary.empty()) return false;
  if (!WriteAll(temporary, image.data(), static_cast<std::size_t>(length), loop)) {
    fs::remove(temporary, ec);
    return false;
  }
  // Keep the permissions of the file being replaced.
  const auto old = fs::status(target, ec);
  if (!ec && fs::exists(old)) fs::permissions(temporary, old.permissions(), ec);
  fs::rename(temporary, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

bool CopyBytesToImage(const std::uint8_t* data, std::size_t size, EepromImage& image) {
  if (size > static_cast<std::size_t>(kImageSize)) return false;
  if (size != 0) std::memcpy(image.data(), data, size);
  return true;
}

bool ReadConfigFile(const std::string& path, EepromImage& image, long* fileLength, EventLoop* loop) {
  std::error_code ec;
  const fs::path source = PathFromUtf8(path);
  if (path.empty() || fs::is_directory(source, ec)) return false;
  std::ifstream in(source, std::ios::binary);
  if (!in) return false;
  // Read everything first, so that a failed read leaves the image as it was.
  std::vector<std::uint8_t> bytes;
  bytes.reserve(4096);
  std::uint8_t chunk[kChunk];
  while (bytes.size() <= static_cast<std::size_t>(kImageSize)) {
    if (loop != nullptr) loop->Yield();
    in.read(reinterpret_cast<char*>(chunk), sizeof chunk);
    const auto got = in.gcount();
    if (got > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    if (in.bad()) return false;
    if (in.eof()) break;
    if (!in) return false;
  }
  if (!CopyBytesToImage(bytes.data(), bytes.size(), image)) return false;
  if (fileLength != nullptr) *fileLength = static_cast<long>(bytes.size());
  return true;
}

bool IsLoadedImageValid(const EepromImage& image, long fileLength) {
  return IsImageValid(image) && IsImageCompleteWithin(image, fileLength);
}

namespace {
LoadResult TestAndDecode(Workspace& ws, long length) {
  if (!IsLoadedImageValid(ws.image, length)) return LoadResult::NotValid;
  return DecodeImage(ws) ? LoadResult::Loaded : LoadResult::NotValid;
}
}  // namespace

LoadResult LoadConfigFile(const std::string& path, Workspace& ws) {
  long length = 0;
  if (!ReadConfigFile(path, ws.image, &length)) return LoadResult::ReadError;
  return TestAndDecode(ws, length);
}

LoadResult LoadConfigBytes(const std::uint8_t* data, std::size_t size, Workspace& ws) {
  if (!CopyBytesToImage(data, size, ws.image)) return LoadResult::ReadError;
  return TestAndDecode(ws, static_cast<long>(size));
}

SaveResult SaveConfigFile(const std::string& path, Workspace& ws, EventLoop* loop) {
  long used = 0;
  if (!EncodeImage(ws, &used) || !IsImageValid(ws.image)) return SaveResult::EncodeError;
  // The usage figure always covers the encoded image; should it ever fall
  // short, the file still holds the whole image up to its end marker.
  const long usage = std::max<long>(ComputeUsage(ws.config), used + 1);
  return WriteConfigFile(path, ws.image, static_cast<int>(usage), loop) ? SaveResult::Saved : SaveResult::WriteError;
}

std::string ConfigFileSaveErrorText(const std::string& path) {
  return "Při ukládání nastavení programu do souboru '" + path + "' nastala chyba.";
}
std::string ConfigFileLoadErrorText(const std::string& path) {
  return "Při načítání nastavení programu ze souboru '" + path + "' nastala chyba.";
}
std::string ConfigFileFormatErrorText(const std::string& path) {
  return "Data v souboru '" + path + "' nejsou v pořádku - neodpovídají formátu EEPROM.";
}
std::string ConfigFileLoadedText(const std::string& path) {
  return "Data ze souboru '" + path + "' byla úspěšně načtena.";
}

}  // namespace vexa
