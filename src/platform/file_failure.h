// What the whole-file reading and writing does alike on every system: the
// refusals, so that a folder, a device or a file too large is refused with
// the same words on Linux and on Windows, and the reading of an open file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/services.h"
#include "texts/texts.h"

namespace vexa::files {

// Bytes between two yields to the event loop.
inline constexpr std::size_t kChunk = 4096;

inline bool Fail(Failure& failure, FailureKind kind, std::string cause, const std::string& path,
                 std::string systemError = {}) {
  failure = Failure::Of(kind, std::move(cause)).AtPath(path);
  if (!systemError.empty()) failure.WithSystemError(std::move(systemError));
  return false;
}

// What is at a path when it is not a regular file.
enum class NotRegular { Folder, Fifo, Device, Other };

inline bool FailNotRegular(Failure& failure, NotRegular what, const std::string& path) {
  const char* cause = texts::kCauseNotRegular;
  switch (what) {
    case NotRegular::Folder: cause = texts::kCauseIsFolder; break;
    case NotRegular::Fifo: cause = texts::kCauseIsFifo; break;
    case NotRegular::Device: cause = texts::kCauseIsDevice; break;
    case NotRegular::Other: break;
  }
  return Fail(failure, FailureKind::Refused, cause, path);
}

inline bool FailTooLarge(Failure& failure, std::size_t limit, const std::string& path) {
  return Fail(failure, FailureKind::Refused, texts::FileTooLarge(limit), path);
}

// Reads an open file to its end, kChunk bytes at a time with a yield to the
// event loop before each. `readSome(buffer, size)` gives the bytes it read
// (0 at the end), or nullopt when the system refused (having said why in
// `failure`). `expected` is the size the file had when it was opened; a file
// that grows past `limit` meanwhile is refused.
template <class ReadSome>
bool ReadToEnd(ReadSome readSome, std::size_t expected, std::size_t limit, EventLoop* loop, const std::string& path,
               std::vector<std::uint8_t>& bytes, Failure& failure) {
  std::vector<std::uint8_t> out;
  out.reserve(expected);
  std::uint8_t chunk[kChunk];
  for (;;) {
    if (loop != nullptr) loop->Yield();
    const std::optional<std::size_t> n = readSome(chunk, sizeof chunk);
    if (!n) return false;
    if (*n == 0) break;
    if (out.size() + *n > limit) return FailTooLarge(failure, limit, path);  // grew
    out.insert(out.end(), chunk, chunk + *n);
  }
  bytes = std::move(out);
  return true;
}

}  // namespace vexa::files
