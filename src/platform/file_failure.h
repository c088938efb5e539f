// The refusals the whole-file reading and writing gives on every system, so
// that a folder, a device or a file too large is refused with the same words
// on Linux and on Windows.
#pragma once

#include <cstddef>
#include <string>

#include "platform/failure.h"
#include "platform/texts.h"

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

}  // namespace vexa::files
