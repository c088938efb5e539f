// A record of the link's traffic for support: one line per frame in either
// direction, with the time, the raw characters and what they mean, plus what
// the link decided about them ("late answer dropped", "time-out").
//
//   1534 -> \x048010\xa6\r   read 0x0110, attempt 3, limit 400 ms
//   1597 <- \x840123456789ABCDEF\xd2\r   reply 0x84 10 32 54 76 98 BA DC FE
//
// Each line is handed to the system as soon as it is written, so the file of
// a session that hung is complete up to the hang. The file stops growing at
// its size limit with a last line that says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "link/serial_port.h"
#include "platform/failure.h"

namespace vexa::link {

inline constexpr long kTraceLimitBytes = 50L * 1024 * 1024;

// Printable ASCII as it is, every other byte (and the backslash) as \xNN.
std::string TraceRaw(const std::uint8_t* bytes, std::size_t n);
// What a request payload asks: "poll", "identification", "memory and modem",
// "read 0x0110", "write 0x0110 01 02 ...", "release".
std::string RequestMeaning(const std::uint8_t* payload, std::size_t n);
// A valid reply: "reply 0x84" and the bytes its hexadecimal pairs carry.
std::string ReplyMeaning(const std::uint8_t* payload, std::size_t n);

class Trace {
 public:
  explicit Trace(Clock& clock, long limitBytes = kTraceLimitBytes) : clock_(clock), limit_(limitBytes) {}
  ~Trace();
  Trace(const Trace&) = delete;
  Trace& operator=(const Trace&) = delete;

  // Creates (or empties) the file; the times of the lines count from here.
  std::optional<Failure> Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }

  // "<ms> <direction> <raw>   <meaning>"; direction "->" sent, "<-" received.
  void Frame(const char* direction, const std::uint8_t* raw, std::size_t n, const std::string& meaning);
  // "<ms> -- <text>": what the link did without a frame.
  void Note(const std::string& text);

 private:
  void Put(const std::string& line);

  Clock& clock_;
  long limit_;
  std::FILE* file_ = nullptr;
  std::int64_t startMs_ = 0;
  long written_ = 0;
  bool full_ = false;
};

}  // namespace vexa::link
