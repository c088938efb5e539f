#include "link/trace.h"

#include <cerrno>
#include <cstring>

#include "codec/values.h"
#include "platform/system.h"
#include "texts/texts.h"

namespace vexa::link {
namespace {

std::string Hex2(unsigned b) {
  char s[8];
  std::snprintf(s, sizeof s, "%02X", b & 0xFFu);
  return s;
}

// The bytes of the hexadecimal pairs from payload position `from` (low digit
// first), as long as they read.
std::string Pairs(const std::uint8_t* p, std::size_t n, std::size_t from, std::size_t maxPairs = 99) {
  std::string out;
  for (std::size_t i = from; i + 1 < n && maxPairs > 0; i += 2, --maxPairs) {
    const auto b = HexPairToByte(static_cast<char>(p[i + 1]), static_cast<char>(p[i]));
    if (!b) return out + " ?";
    out += " " + Hex2(*b);
  }
  return out;
}

std::string Address(const std::uint8_t* p, std::size_t n) {
  if (n < 5) return "?";
  const auto lo = HexPairToByte(static_cast<char>(p[2]), static_cast<char>(p[1]));
  const auto hi = HexPairToByte(static_cast<char>(p[4]), static_cast<char>(p[3]));
  if (!lo || !hi) return "?";
  return "0x" + Hex2(*hi) + Hex2(*lo);
}

}  // namespace

std::string TraceRaw(const std::uint8_t* bytes, std::size_t n) {
  std::string out;
  out.reserve(n * 2);
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t c = bytes[i];
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out.push_back(static_cast<char>(c));
    } else {
      out += "\\x" + Hex2(c);
    }
  }
  return out;
}

std::string RequestMeaning(const std::uint8_t* p, std::size_t n) {
  if (n == 0) return "empty";
  switch (p[0]) {
    case 1: return "poll";
    case 2: return "identification";
    case 3: return "memory and modem";
    case 4: return "read " + Address(p, n);
    case 5: return "write " + Address(p, n) + Pairs(p, n, 5, 8);
    case 6: return "release";
    default: return "request 0x" + Hex2(p[0]);
  }
}

std::string ReplyMeaning(const std::uint8_t* p, std::size_t n) {
  if (n == 0) return "empty reply";
  return "reply 0x" + Hex2(p[0]) + Pairs(p, n, 1);
}

Trace::~Trace() {
  if (file_) std::fclose(file_);
}

std::optional<Failure> Trace::Open(const std::string& path) {
  if (file_) std::fclose(file_);
  file_ = platform::OpenForWriting(path);  // a UTF-8 path on every system
  if (!file_) {
    return Failure::Of(FailureKind::FileSystem, texts::kCauseTraceWrite).AtPath(path).WithSystemError(
        std::strerror(errno));
  }
  startMs_ = clock_.NowMs();
  written_ = 0;
  full_ = false;
  return std::nullopt;
}

void Trace::Put(const std::string& line) {
  if (!file_ || full_) return;
  static constexpr const char* kFull = "-- the trace has reached its size limit; nothing more is recorded\n";
  const long room = limit_ - static_cast<long>(std::strlen(kFull));
  if (written_ + static_cast<long>(line.size()) > room) {
    std::fputs(kFull, file_);
    full_ = true;
  } else {
    std::fputs(line.c_str(), file_);
    written_ += static_cast<long>(line.size());
  }
  std::fflush(file_);
}

void Trace::Frame(const char* direction, const std::uint8_t* raw, std::size_t n, const std::string& meaning) {
  if (!file_ || full_) return;
  char ms[24];
  std::snprintf(ms, sizeof ms, "%7lld ", static_cast<long long>(clock_.NowMs() - startMs_));
  Put(std::string(ms) + direction + " " + (n ? TraceRaw(raw, n) : std::string("(nothing)")) + "   " + meaning + "\n");
}

void Trace::Note(const std::string& text) {
  if (!file_ || full_) return;
  char ms[24];
  std::snprintf(ms, sizeof ms, "%7lld ", static_cast<long long>(clock_.NowMs() - startMs_));
  Put(std::string(ms) + "-- " + text + "\n");
}

}  // namespace vexa::link
