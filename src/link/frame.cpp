#include "link/frame.h"

#include <algorithm>

#include "codec/values.h"
#include "link/port_names.h"

namespace vexa::link {

const char* ReplyFaultName(ReplyFault f) {
  switch (f) {
    case ReplyFault::None: return "valid";
    case ReplyFault::NoReply: return "no reply";
    case ReplyFault::Incomplete: return "incomplete";
    case ReplyFault::Overlong: return "overlong";
    case ReplyFault::Late: return "late";
    case ReplyFault::TooShort: return "too short";
    case ReplyFault::BadChecksum: return "bad checksum";
    case ReplyFault::PortLost: return "port lost";
  }
  return "?";
}

std::uint8_t FrameChecksum(const std::uint8_t* payload, std::size_t length) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < length; ++i) sum += payload[i];
  auto c = static_cast<std::uint8_t>((sum + 1) % 256);
  return c == kCR ? 12 : c;
}

std::uint8_t FrameChecksum(const SerialFrame& frame) {
  const auto n = frame.Length < 0 ? 0 : static_cast<std::size_t>(frame.Length);
  return FrameChecksum(frame.Data.data(), n > frame.Data.size() ? frame.Data.size() : n);
}

SerialFrame MakeFrame(std::initializer_list<std::uint8_t> bytes) {
  SerialFrame f;
  for (auto b : bytes) {
    if (f.Length >= static_cast<std::int16_t>(f.Data.size())) break;
    f.Data[static_cast<std::size_t>(f.Length++)] = b;
  }
  return f;
}

ReplyFault ValidateReply(const SerialFrame& stored, int n, bool timedOut) {
  if (n < 0) n = 0;
  if (n > kMaxReplyChars) n = kMaxReplyChars;
  const bool complete = n > 0 && stored.Data[static_cast<std::size_t>(n - 1)] == kCR;
  if (timedOut) {
    if (n == 0) return ReplyFault::NoReply;
    if (complete) return ReplyFault::Late;
    return n >= kMaxReplyChars ? ReplyFault::Overlong : ReplyFault::Incomplete;
  }
  if (!complete) return ReplyFault::Incomplete;
  // The checksum needs a payload in front of it: the terminator alone and a
  // checksum with its terminator are never a reply.
  if (n < 3) return ReplyFault::TooShort;
  const auto payload = static_cast<std::size_t>(n - 2);
  if (FrameChecksum(stored.Data.data(), payload) != stored.Data[payload]) return ReplyFault::BadChecksum;
  return ReplyFault::None;
}

namespace {

// One waiting character, counted against the answers the unit owes.
std::optional<std::uint8_t> ReadIncoming(Link& link) {
  const auto c = link.port.ReadChar();
  if (!c) return c;
  if (*c != kCR) {
    ++link.charsSinceCR;
  } else {
    // A stray CR on a noisy line is no answer: an answer has at least its
    // code and its checksum in front of the terminator.
    if (link.charsSinceCR >= 2 && link.answersOwed > 0) --link.answersOwed;
    link.charsSinceCR = 0;
  }
  return c;
}

}  // namespace

bool OpenPort(Link& link, Workspace& ws, Services& sv) {
  if (!link.port.Open(ws.settings.Port)) {
    sv.messages.Show(Icon::Error, PortOpenMessage(ws.settings.Port, link.port.LastOpenFailure()));
    return false;
  }
  // A pseudo-terminal or an adapter without modem lines refuses these; the
  // unit does not need them, so that is no reason to fail.
  link.port.SetDtr(false);
  link.port.SetRts(true);
  return true;
}

void ClosePort(Link& link) {
  if (link.port.IsOpen()) link.port.Close();
}

bool SendFrame(Link& link, const SerialFrame& frame) {
  if (frame.Length < 1 || frame.Length > static_cast<std::int16_t>(frame.Data.size())) return false;
  const auto n = static_cast<std::size_t>(frame.Length);
  bool ok = true;
  for (std::size_t i = 0; i < n; ++i) ok = link.port.WriteChar(frame.Data[i]) && ok;
  ok = link.port.WriteChar(FrameChecksum(frame.Data.data(), n)) && ok;
  ok = link.port.WriteChar(kCR) && ok;
  link.port.Flush();
  ++link.stats.framesSent;
  ++link.answersOwed;
  link.lastRequestMs = link.clock.NowMs();
  return ok;
}

void ArmReplyTimer(Link& link, int timeoutMs) {
  link.timerArmed = true;
  link.replyDeadlineMs = link.clock.NowMs() + timeoutMs;
}

bool ReplyTimedOut(const Link& link) { return link.timerArmed && link.clock.NowMs() >= link.replyDeadlineMs; }

SerialFrame ReceiveFrame(Link& link, EventLoop& loop, int timeoutMs, ReplyFault* fault) {
  ArmReplyTimer(link, timeoutMs);
  SerialFrame f;  // zeroed
  int n = 0;
  bool lost = false;
  for (;;) {
    loop.Yield();
    if (link.port.Lost() || !link.port.IsOpen()) {
      lost = true;
      break;
    }
    if (link.port.BytesWaiting() > 0) {
      // Drain one burst. Past the 101st stored character each pass reads and
      // drops exactly one character.
      do {
        loop.Yield();
        const auto c = ReadIncoming(link);
        if (!c) break;
        if (n < kMaxReplyChars) f.Data[static_cast<std::size_t>(n++)] = *c;
      } while (link.port.BytesWaiting() > 0 && n < kMaxReplyChars);
    }
    // A CR counts only as the last character of a burst.
    const bool complete = n > 0 && f.Data[static_cast<std::size_t>(n - 1)] == kCR;
    if (complete || ReplyTimedOut(link)) break;
    if (link.port.BytesWaiting() == 0) link.port.WaitForData(link.replyDeadlineMs);
  }
  const ReplyFault why = lost ? ReplyFault::PortLost : ValidateReply(f, n, ReplyTimedOut(link));
  if (why == ReplyFault::None) {
    f.Length = static_cast<std::int16_t>(n - 2);
    ++link.stats.repliesAccepted;
  } else {
    f.Length = 0;
    ++link.stats.repliesFailed;
  }
  if (fault) *fault = why;
  return f;
}

void FlushInput(Link& link) {
  // A line that never stops talking must not keep the program here: the
  // input is drained at most this many characters deep.
  constexpr long kMaxDrain = 1L << 16;
  long reads = 0;
  do {
    ReadIncoming(link);
  } while (++reads < kMaxDrain && link.port.BytesWaiting() > 0);
}

void DropOwedAnswers(Link& link, EventLoop& loop, std::int64_t untilMs) {
  for (;;) {
    loop.Yield();
    if (link.port.Lost() || !link.port.IsOpen()) break;
    while (link.port.BytesWaiting() > 0) {
      const int owedBefore = link.answersOwed;
      if (!ReadIncoming(link)) break;
      if (link.answersOwed < owedBefore) ++link.stats.lateAnswersDropped;
    }
    if (link.answersOwed <= 0 || link.clock.NowMs() >= untilMs) break;
    link.port.WaitForData(untilMs);
  }
  link.answersOwed = 0;
}

bool Exchange(Link& link, EventLoop& loop, const SerialFrame& request, int timeoutMs, std::uint8_t expectedCode,
              SerialFrame& reply) {
  SendFrame(link, request);
  reply = ReceiveFrame(link, loop, timeoutMs);
  return reply.Length > 0 && reply.Data[0] == expectedCode;
}

std::optional<std::uint8_t> ReplyPair(const SerialFrame& reply, int k) {
  if (k < 1) return std::nullopt;
  const int low = 2 * k - 1;
  const int high = 2 * k;
  if (high >= reply.Length) return std::nullopt;
  return HexPairToByte(static_cast<char>(reply.Data[static_cast<std::size_t>(high)]),
                       static_cast<char>(reply.Data[static_cast<std::size_t>(low)]));
}

}  // namespace vexa::link
