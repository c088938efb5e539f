#include "link/frame.h"

#include <algorithm>

#include "codec/values.h"
#include "link/port_names.h"
#include "link/trace.h"
#include "platform/texts.h"

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
    case ReplyFault::WrongCode: return "wrong reply code";
    case ReplyFault::BadData: return "unreadable data";
    case ReplyFault::Mismatch: return "read back differs";
  }
  return "?";
}

const char* ReplyFaultCause(ReplyFault f) {
  switch (f) {
    case ReplyFault::None: return "";
    case ReplyFault::NoReply: return texts::kReplyNone;
    case ReplyFault::Late: return texts::kReplyLate;
    case ReplyFault::Incomplete:
    case ReplyFault::TooShort: return texts::kReplyIncomplete;
    case ReplyFault::Overlong: return texts::kReplyOverlong;
    case ReplyFault::BadChecksum: return texts::kReplyBadChecksum;
    case ReplyFault::PortLost: return texts::kReplyPortLost;
    case ReplyFault::WrongCode: return texts::kReplyWrongCode;
    case ReplyFault::BadData: return texts::kReplyBadData;
    case ReplyFault::Mismatch: return texts::kReplyMismatch;
  }
  return "";
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

bool OpenPort(Link& link, const std::string& port, Services& sv) {
  if (!link.port.Open(port)) {
    sv.messages.Show(Icon::Error, PortOpenMessage(port, link.port.LastOpenFailure()));
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
  if (link.traceAttempt >= 0) link.lastRequest = frame;
  if (link.trace) {
    std::uint8_t wire[258];
    std::copy_n(frame.Data.data(), n, wire);
    wire[n] = FrameChecksum(frame.Data.data(), n);
    wire[n + 1] = kCR;
    std::string meaning = RequestMeaning(frame.Data.data(), n);
    if (link.traceAttempt > 0) {
      meaning += ", attempt " + std::to_string(link.traceAttempt) + ", limit " + std::to_string(link.traceLimitMs) +
                 " ms";
    } else if (link.traceAttempt < 0) {
      meaning += ", marker";
    }
    link.trace->Frame("->", wire, n + 2, meaning);
  }
  link.traceAttempt = 0;
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
  if (link.trace) {
    std::string meaning;
    if (why == ReplyFault::None) {
      meaning = ReplyMeaning(f.Data.data(), static_cast<std::size_t>(f.Length));
    } else if (why == ReplyFault::NoReply) {
      meaning = "time-out, " + std::to_string(timeoutMs) + " ms";
    } else if (why == ReplyFault::BadChecksum) {
      meaning = "checksum mismatch";
    } else {
      meaning = ReplyFaultName(why);
    }
    link.trace->Frame("<-", f.Data.data(), static_cast<std::size_t>(n), meaning);
  }
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

namespace {

// The answer time of a late answer the marker uncovered: the first attempt
// of the next blocks waits at least this long.
void NoteSlowAnswer(Link& link, std::int64_t ms) {
  link.answerTimeMs = std::max(link.answerTimeMs, static_cast<int>(std::min<std::int64_t>(ms, kLongestReplyMs)));
  link.quickAnswers = 0;
  link.recentSlowestMs = 0;
}

bool ValidFrame(const std::uint8_t* f, std::size_t n) {
  return n >= 3 && f[n - 1] == kCR && FrameChecksum(f, n - 2) == f[n - 2];
}

}  // namespace

void DropOwedAnswers(Link& link, EventLoop& loop) {
  if (link.port.Lost() || !link.port.IsOpen()) {
    link.answersOwed = 0;
    return;
  }
  const std::int64_t lastSentMs = link.lastRequestMs;
  const std::uint8_t owedCode = link.lastExpectedCode;
  const SerialFrame lastRequest = link.lastRequest;
  const Marker marker = kMarkers[link.markerRounds++ % 2];
  link.heldReply.reset();
  auto sendMarker = [&] {
    link.traceAttempt = -1;
    SendFrame(link, MakeFrame({marker.command}));
    ++link.stats.markers;
  };
  sendMarker();
  int markersSent = 1;
  int resendAfterMs = kMarkerResendMs;
  std::int64_t quietSinceMs = link.clock.NowMs();
  // The last request's answer comes within the longest time limit or never;
  // the marker's follows it.
  std::int64_t deadline = std::max(lastSentMs + kLongestReplyMs, link.clock.NowMs() + kMarkerAfterAnswerMs);
  std::uint8_t frame[kMaxReplyChars];
  std::size_t n = 0;
  bool answered = false;
  bool askAgain = false;
  while (!answered) {
    loop.Yield();
    if (link.port.Lost() || !link.port.IsOpen()) break;
    while (!answered && link.port.BytesWaiting() > 0) {
      const auto c = ReadIncoming(link);
      if (!c) break;
      if (n < kMaxReplyChars) frame[n++] = *c;
      if (*c != kCR) continue;
      // Replies contain no CR but their terminator, so every CR ends one.
      const bool valid = ValidFrame(frame, n);
      const std::int64_t now = link.clock.NowMs();
      if (valid && frame[0] == marker.reply) {
        answered = true;
        if (link.trace) link.trace->Frame("<-", frame, n, ReplyMeaning(frame, n - 2) + ", marker answered");
      } else if (n >= 2) {
        quietSinceMs = now;
        ++link.stats.lateAnswersDropped;
        if (valid && frame[0] == owedCode && !link.heldReply) {
          // The answer to the last request: nothing else is owed but the
          // marker's. An attempt that asks the same takes it.
          if (link.trace) link.trace->Frame("<-", frame, n, ReplyMeaning(frame, n - 2) + ", late answer held");
          NoteSlowAnswer(link, now - lastSentMs);
          SerialFrame held;
          std::copy_n(frame, n, held.Data.begin());
          held.Length = static_cast<std::int16_t>(n - 2);
          link.heldReply = held;
          link.heldRequest = lastRequest;
          deadline = now + kMarkerAfterAnswerMs;
          // A unit that was busy when the markers came has just become free.
          askAgain = true;
        } else {
          if (link.trace) {
            const std::string what = valid ? " (" + ReplyMeaning(frame, n - 2) + ")" : std::string();
            link.trace->Frame("<-", frame, n, "late answer dropped" + what);
          }
          deadline = std::max(deadline, now + kMarkerAfterAnswerMs);
        }
      }
      n = 0;
    }
    if (answered) break;
    if (askAgain && link.port.BytesWaiting() == 0) {
      askAgain = false;
      sendMarker();
      continue;
    }
    const std::int64_t now = link.clock.NowMs();
    if (now >= deadline) {
      if (link.trace) link.trace->Note("no answer to the marker: nothing more is owed");
      break;
    }
    std::int64_t wakeAt = deadline;
    if (markersSent < kMarkersPerRound && !link.heldReply) {
      if (now >= quietSinceMs + resendAfterMs) {
        sendMarker();
        ++markersSent;
        quietSinceMs = link.clock.NowMs();
        resendAfterMs *= 2;
        continue;
      }
      wakeAt = std::min(wakeAt, quietSinceMs + resendAfterMs);
    }
    link.port.WaitForData(wakeAt);
  }
  link.answersOwed = 0;
  link.charsSinceCR = 0;
}

bool Exchange(Link& link, EventLoop& loop, const SerialFrame& request, int timeoutMs, std::uint8_t expectedCode,
              SerialFrame& reply) {
  link.lastExpectedCode = expectedCode;
  link.replyWasHeld = false;
  if (link.heldReply) {
    const bool same = link.heldRequest.Length == request.Length &&
                      std::equal(request.Data.begin(), request.Data.begin() + std::max<int>(0, request.Length),
                                 link.heldRequest.Data.begin());
    if (same) {
      reply = *link.heldReply;
      link.heldReply.reset();
      link.replyWasHeld = true;
      link.traceAttempt = 0;
      if (link.trace) {
        const auto length = static_cast<std::size_t>(reply.Length);
        link.trace->Note("the late answer to the same request taken: " + ReplyMeaning(reply.Data.data(), length));
      }
      link.lastFault = reply.Data[0] == expectedCode ? ReplyFault::None : ReplyFault::WrongCode;
      return link.lastFault == ReplyFault::None;
    }
    link.heldReply.reset();
  }
  SendFrame(link, request);
  const std::int64_t deadline = link.clock.NowMs() + timeoutMs;
  int limit = timeoutMs;
  for (;;) {
    ReplyFault why = ReplyFault::None;
    reply = ReceiveFrame(link, loop, limit, &why);
    if (why == ReplyFault::None && IsMarkerReply(reply.Data[0]) && expectedCode != reply.Data[0]) {
      // The answer to a marker that was given up on: it belongs to no request.
      ++link.stats.lateAnswersDropped;
      if (link.trace) link.trace->Note("late marker answer dropped");
      limit = static_cast<int>(std::max<std::int64_t>(0, deadline - link.clock.NowMs()));
      continue;
    }
    if (why == ReplyFault::None && reply.Data[0] != expectedCode) why = ReplyFault::WrongCode;
    link.lastFault = why;
    return why == ReplyFault::None;
  }
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
