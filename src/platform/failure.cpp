#include "platform/failure.h"

#include <cstdio>

#include "texts/texts_link.h"

namespace vexa {

std::string AttemptsText(int attempts) {
  const int last2 = attempts % 100;
  const int last = attempts % 10;
  const char* word = texts::kAttemptsMany;
  if (attempts == 1) {
    word = texts::kAttemptOne;
  } else if (last >= 2 && last <= 4 && (last2 < 12 || last2 > 14)) {
    word = texts::kAttemptsFew;
  }
  return std::to_string(attempts) + " " + word;
}

std::string Failure::Reason() const {
  std::string r;
  if (block) {
    char where[16];
    std::snprintf(where, sizeof where, "0x%04lX", static_cast<unsigned long>(*block) & 0xFFFFUL);
    r = std::string(texts::kBlock) + " " + where + ": ";
  } else if (!path.empty()) {
    r = path + ": ";
  }
  r += cause;
  if (!systemError.empty()) r += (cause.empty() ? "" : ": ") + systemError;
  if (block && attempts > 0) r += " (" + AttemptsText(attempts) + ")";
  if (!r.empty() && r.back() != '.') r += '.';
  return r;
}

std::string WithReason(const std::string& message, const std::string& reason) {
  if (reason.empty()) return message;
  return message + "\n" + reason;
}

}  // namespace vexa
