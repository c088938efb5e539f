#include "link/unit_session.h"

#include <algorithm>

#include "link/port_names.h"
#include "link/trace.h"

namespace vexa::link {

std::optional<Failure> UnitSession::Open(const std::string& port) {
  if (!port_.Open(port)) return Failure::Of(FailureKind::Port, PortOpenMessage(port, port_.LastOpenFailure()));
  // A pseudo-terminal or an adapter without modem lines refuses these; the
  // unit does not need them, so that is no reason to fail.
  port_.SetDtr(false);
  port_.SetRts(true);
  return std::nullopt;
}

void UnitSession::Close() {
  unitImage_.reset();
  memorySize_.reset();
  if (port_.IsOpen()) port_.Close();
}

bool UnitSession::SendFrame(const SerialFrame& frame, const std::string& note) {
  if (frame.Length < 1 || frame.Length > static_cast<std::int16_t>(frame.Data.size())) return false;
  const auto n = static_cast<std::size_t>(frame.Length);
  bool ok = true;
  for (std::size_t i = 0; i < n; ++i) ok = port_.WriteChar(frame.Data[i]) && ok;
  ok = port_.WriteChar(FrameChecksum(frame.Data.data(), n)) && ok;
  ok = port_.WriteChar(kCR) && ok;
  port_.Flush();
  if (trace_) {
    std::uint8_t wire[258];
    std::copy_n(frame.Data.data(), n, wire);
    wire[n] = FrameChecksum(frame.Data.data(), n);
    wire[n + 1] = kCR;
    std::string meaning = RequestMeaning(frame.Data.data(), n);
    if (!note.empty()) meaning += ", " + note;
    trace_->Frame("->", wire, n + 2, meaning);
  }
  return ok;
}

ExchangeResult UnitSession::Exchange(EventLoop& loop, const SerialFrame& request, std::uint8_t expected,
                                     const Ladder& ladder, const ReplyCheck& check) {
  return ledger_.Exchange(*this, loop, request, expected, ladder, check);
}

void UnitSession::Forget() {
  ledger_.Forget();
  unitImage_.reset();
  memorySize_.reset();
}

void UnitSession::ReportBlocks(long done, long total) const {
  if (onBlock_) onBlock_(done, total);
  if (onProgress_) onProgress_(done, total);
}

void UnitSession::FlushInput() {
  // A line that never stops talking must not keep the program here: the
  // input is drained at most this many characters deep.
  constexpr long kMaxDrain = 1L << 16;
  long reads = 0;
  do {
    port_.ReadChar();
  } while (++reads < kMaxDrain && port_.BytesWaiting() > 0);
  ledger_.InputDiscarded();
}

}  // namespace vexa::link
