#include "link/programming_mode.h"

#include <algorithm>

namespace vexa::link {

static_assert(kMarkers[1].command == kCmdIdentify && kMarkers[1].reply == kReplyIdentify &&
                  kMarkers[0].command == kCmdMemoryModem && kMarkers[0].reply == kReplyMemoryModem,
              "the markers are the identification and the memory and modem query");

namespace {

// Reads `count` hexadecimal pairs of a reply into `out`.
ReplyCheck Pairs(std::uint8_t* out, int count) {
  return [out, count](const SerialFrame& reply) {
    for (int k = 1; k <= count; ++k) {
      const auto b = ReplyPair(reply, k);
      if (!b) return ReplyFault::BadData;
      out[k - 1] = *b;
    }
    return ReplyFault::None;
  };
}

}  // namespace

ExchangeResult Poll(UnitSession& link, EventLoop& loop) {
  return link.Exchange(loop, MakeFrame({kCmdPoll}), kReplyPoll, kPollLadder);
}

ExchangeResult Identify(UnitSession& link, EventLoop& loop, Identity& identity) {
  std::uint8_t id[5] = {};
  const auto r = link.Exchange(loop, MakeFrame({kCmdIdentify}), kReplyIdentify, kIdentifyLadder, Pairs(id, 5));
  if (r.ok()) identity = {id[0] + 256u * id[1] + 65536u * id[2], id[3], id[4]};
  return r;
}

std::optional<long> UsableBytesOf(std::uint8_t memoryCode) {
  if (memoryCode >= 10) return std::nullopt;
  return (1L << (memoryCode + 7)) - 64;
}

ExchangeResult QueryMemoryModem(UnitSession& link, EventLoop& loop, MemoryModem& memoryModem) {
  std::uint8_t mm[2] = {};
  const auto r = link.Exchange(loop, MakeFrame({kCmdMemoryModem}), kReplyMemoryModem, kIdentifyLadder, Pairs(mm, 2));
  if (!r.ok()) return r;
  memoryModem = {mm[0], mm[1]};
  link.SetMemorySize(UsableBytesOf(mm[0]));
  return r;
}

bool ReleaseUnit(UnitSession& link, EventLoop& loop, ReplyFault* why) {
  link.FlushInput();
  const long acknowledgedBefore = link.ledger().AnswersHeard(kReplyLeave);
  const auto r = link.Exchange(loop, MakeFrame({kCmdLeave, 170, 85}), kReplyLeave, kLeaveLadder);
  if (why) *why = r.fault;
  if (r.ok()) return true;
  if (r.fault == ReplyFault::PortLost) return false;
  // The acknowledgement is missing. A unit that has left the programming
  // mode answers nothing more: it is asked once, after whatever it still
  // owes, a question only the programming mode answers. An answer still owed
  // to a question asked before the release (a late identification, a marker)
  // says nothing of the unit since, so the question is one nothing owed asks:
  // the identification, else the memory and modem query.
  const bool memoryQuery = !link.ledger().InStepFor(kReplyIdentify) && link.ledger().InStepFor(kReplyMemoryModem);
  const std::uint8_t command = memoryQuery ? kCmdMemoryModem : kCmdIdentify;
  const std::uint8_t reply = memoryQuery ? kReplyMemoryModem : kReplyIdentify;
  const int owed = link.ledger().Owed();
  const int limit = std::min(kSlowestAnswerMs, std::max(kIdentifyTimeoutMs, link.ledger().AnswerTimeMs() + 50) * owed);
  // With both owed, an answer taken may still be one owed from before: it
  // was the unit's answer to a question asked now only when it settled every
  // request owed before the release (then fewer are owed than were asked
  // since). Until then the question is asked again, without markers, at
  // most once per request owed from before.
  ExchangeResult stillThere;
  bool answered = false;
  for (int asked = 1; asked <= owed + 1; ++asked) {
    stillThere = link.Exchange(loop, MakeFrame({command}), reply, {1, limit, 0, false, true});
    answered = stillThere.ok() && link.ledger().Owed() < asked;
    if (!stillThere.ok() || answered || link.ledger().AnswersHeard(kReplyLeave) > acknowledgedBefore) break;
  }
  if (link.ledger().AnswersHeard(kReplyLeave) > acknowledgedBefore) return true;  // it came after all
  if (stillThere.fault == ReplyFault::PortLost || link.port().Lost() || !link.port().IsOpen()) {
    if (why) *why = ReplyFault::PortLost;
    return false;
  }
  return !answered;
}

}  // namespace vexa::link
