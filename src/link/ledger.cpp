#include "link/ledger.h"

#include <algorithm>

#include "link/unit_session.h"
#include "link/trace.h"

namespace vexa::link {
namespace {

// Room on top of the unit's answer time for the characters on the line.
constexpr int kAnswerMarginMs = 50;
// A unit that answered this many requests more quickly than its answer time
// is waited for less again.
constexpr int kAnswersBeforeEasing = 16;
// Attempts past the ladder that heard the unit (it spoke after a silence)
// before the exchange gives up.
constexpr int kAttemptsAfterSilence = 3;

bool SameRequest(const SerialFrame& a, const SerialFrame& b) {
  return a.Length == b.Length && std::equal(a.Data.begin(), a.Data.begin() + std::max<int>(0, a.Length), b.Data.begin());
}

bool ValidFrame(const std::uint8_t* f, std::size_t n) {
  return n >= 3 && f[n - 1] == kCR && FrameChecksum(f, n - 2) == f[n - 2];
}

}  // namespace

void ExchangeLedger::Forget() {
  owed_.clear();
  rxN_ = 0;
  answerTimeMs_ = 0;
  quickAnswers_ = 0;
  recentSlowestMs_ = 0;
  nextMarkerAtMs_ = 0;
  markerWaitMs_ = 0;
  askAgain_ = false;
  stallsInRow_ = 0;
  lastAnswerMs_ = 0;
}

bool ExchangeLedger::InStepFor(std::uint8_t code) const {
  return std::none_of(owed_.begin(), owed_.end(), [code](const Entry& e) { return e.code == code; });
}

bool ExchangeLedger::InStepForWant(const Want& w) const {
  if (w.request == nullptr) {
    return std::all_of(owed_.begin(), owed_.end(), [](const Entry& e) { return e.marker; });
  }
  return std::all_of(owed_.begin(), owed_.end(), [&w](const Entry& e) {
    return e.code != w.code || (w.repeats && SameRequest(e.request, *w.request));
  });
}

bool ExchangeLedger::Takeable(const Want& w, std::uint8_t code) const {
  if (w.request == nullptr || code != w.code) return false;
  // Anything else owed an answer with this code could be what came; a marker
  // that asks the same is a copy of the request.
  return std::all_of(owed_.begin(), owed_.end(),
                     [&](const Entry& e) { return e.code != code || SameRequest(e.request, *w.request); }) &&
         !InStepFor(code);
}

void ExchangeLedger::Send(UnitSession& link, const SerialFrame& request, std::uint8_t code, bool marker,
                          const std::string& note) {
  link.SendFrame(request, note);
  owed_.push_back({request, code, link.clock_.NowMs(), marker});
  ++counts_.framesSent;
  if (marker) {
    ++counts_.markers;
  } else {
    ++counts_.requests;
    // A new request may leave the ledger unsure: its first marker goes out
    // at once.
    nextMarkerAtMs_ = 0;
    markerWaitMs_ = 0;
  }
}

void ExchangeLedger::SendMarker(UnitSession& link, const Want& want) {
  // The oldest request that keeps the ledger unsure. A marker's answer is
  // known for its own only when no request with the marker's reply code was
  // owed one before it: the marker takes a code that is fresh since then.
  const auto blocking = std::find_if(owed_.begin(), owed_.end(), [&](const Entry& e) {
    return want.request ? e.code == want.code : !e.marker;
  });
  auto fresh = [&](const Marker& m) {
    return m.reply != want.code && std::none_of(owed_.begin(), blocking, [&m](const Entry& e) { return e.code == m.reply; });
  };
  const Marker m = fresh(kMarkers[0]) || !fresh(kMarkers[1]) ? kMarkers[0] : kMarkers[1];
  Send(link, MakeFrame({m.command}), m.reply, true, "marker");
  // Met with silence, the marker is sent again (a busy unit may not have
  // seen it, its answer may have been lost), each time after twice as long.
  const int base = std::max(kMarkerResendMs, answerTimeMs_ + kAnswerMarginMs);
  markerWaitMs_ = markerWaitMs_ == 0 ? base : std::min(markerWaitMs_ * 2, std::max(base, kLongestMarkerWaitMs));
  nextMarkerAtMs_ = link.clock_.NowMs() + markerWaitMs_;
  askAgain_ = false;
}

void ExchangeLedger::NoteAnswerTime(std::int64_t ms) {
  const int t = static_cast<int>(std::min<std::int64_t>(ms, 10 * kSlowestAnswerMs));
  if (t > answerTimeMs_) {
    answerTimeMs_ = t;
    quickAnswers_ = 0;
    recentSlowestMs_ = 0;
    return;
  }
  recentSlowestMs_ = std::max(recentSlowestMs_, t);
  if (++quickAnswers_ >= kAnswersBeforeEasing) {
    answerTimeMs_ = recentSlowestMs_;
    quickAnswers_ = 0;
    recentSlowestMs_ = 0;
  }
}

int ExchangeLedger::LimitOf(const Ladder& ladder, int n) const {
  int limit = ladder.Limit(n);
  if (ladder.learns) limit = std::max(limit, std::min(kSlowestAnswerMs, answerTimeMs_ + kAnswerMarginMs));
  return limit;
}

ExchangeLedger::Heard ExchangeLedger::Garbled(const Want& want) {
  // Some request's answer, damaged on the line: which one is not known.
  ++counts_.garbled;
  askAgain_ = true;
  return want.sent && !want.inStep ? Heard::Garbled : Heard::Nothing;
}

ExchangeLedger::Heard ExchangeLedger::Overlong(UnitSession& link, const Want& want) {
  if (link.trace_) link.trace_->Frame("<-", rx_.data(), rx_.size(), "overlong");
  return Garbled(want);
}

ExchangeLedger::Heard ExchangeLedger::Judge(UnitSession& link, Want& want, const std::uint8_t* frame, std::size_t n,
                                            SerialFrame& reply) {
  if (!ValidFrame(frame, n)) {
    if (link.trace_) link.trace_->Frame("<-", frame, n, "checksum mismatch");
    return Garbled(want);
  }
  const std::uint8_t code = frame[0];
  ++heard_[code];
  ++framesHeard_;
  lastAnswerMs_ = link.clock_.NowMs();
  const auto it = std::find_if(owed_.begin(), owed_.end(), [code](const Entry& e) { return e.code == code; });
  if (it == owed_.end()) {
    ++counts_.lateDropped;
    askAgain_ = true;
    if (link.trace_) link.trace_->Frame("<-", frame, n, ReplyMeaning(frame, n - 2) + ", answers no request: dropped");
    return Heard::Nothing;
  }
  const bool take = Takeable(want, code);
  const Entry settled = *it;
  // This answer is the one to `settled` or to a later request with its code:
  // every request before `settled` has been answered or never will be.
  owed_.erase(owed_.begin(), it + 1);
  const std::int64_t now = link.clock_.NowMs();
  if (take) {
    reply = SerialFrame{};
    std::copy_n(frame, n, reply.Data.begin());
    reply.Length = static_cast<std::int16_t>(n - 2);
    takenAfterMs_ = now - settled.sentMs;
    if (want.learns) {
      NoteAnswerTime(takenAfterMs_);
      // One stall is no pace; stalls in a row are.
      if (takenAfterMs_ > kTooLateMs) {
        ++stallsInRow_;
        ++counts_.stalls;
      } else {
        stallsInRow_ = 0;
      }
    }
    ++counts_.answersTaken;
    if (want.inStep) ++counts_.heldTaken;
    if (link.trace_) {
      link.trace_->Frame("<-", frame, n, ReplyMeaning(frame, n - 2) + (want.inStep ? ", late answer taken" : ""));
    }
    return Heard::Taken;
  }
  if (settled.marker) {
    if (link.trace_) link.trace_->Frame("<-", frame, n, ReplyMeaning(frame, n - 2) + ", marker answered");
  } else {
    ++counts_.lateDropped;
    askAgain_ = true;
    if (link.trace_) link.trace_->Frame("<-", frame, n, "late answer dropped (" + ReplyMeaning(frame, n - 2) + ")");
  }
  if (want.inStep && InStepForWant(want)) {
    nextMarkerAtMs_ = 0;
    markerWaitMs_ = 0;
    return Heard::InStep;
  }
  return Heard::Nothing;
}

ExchangeLedger::Heard ExchangeLedger::Wait(UnitSession& link, EventLoop& loop, Want& want, std::int64_t deadline,
                                           SerialFrame& reply) {
  for (;;) {
    loop.Yield();
    if (link.port_.Lost() || !link.port_.IsOpen()) return Heard::Lost;
    while (link.port_.BytesWaiting() > 0) {
      loop.Yield();
      const auto c = link.port_.ReadChar();
      if (!c) break;
      ++charsHeard_;
      // Past the 101st character a frame is overlong; its characters are
      // counted, not kept.
      if (rxN_ < rx_.size()) rx_[rxN_] = *c;
      ++rxN_;
      if (*c != kCR) continue;
      const std::size_t n = rxN_;
      rxN_ = 0;
      // A stray CR on a noisy line is no answer: an answer has at least its
      // code and its checksum in front of the terminator.
      if (n < 3) continue;
      const Heard h = n > rx_.size() ? Overlong(link, want) : Judge(link, want, rx_.data(), n, reply);
      if (h != Heard::Nothing) return h;
    }
    const std::int64_t now = link.clock_.NowMs();
    if (want.inStep) {
      // A unit that just answered something may have been too busy to see
      // the marker before: once the line is quiet, ask again.
      if ((askAgain_ && link.port_.BytesWaiting() == 0) || now >= nextMarkerAtMs_) {
        SendMarker(link, want);
        continue;
      }
    }
    if (now >= deadline) return Heard::TimedOut;
    link.port_.WaitForData(want.inStep ? std::min(deadline, nextMarkerAtMs_) : deadline);
  }
}

bool ExchangeLedger::Settle(UnitSession& link, EventLoop& loop, int budgetMs) {
  Want want;
  want.inStep = true;
  if (InStepForWant(want)) return true;
  SerialFrame unused;
  return Wait(link, loop, want, link.clock_.NowMs() + budgetMs, unused) == Heard::InStep;
}

ExchangeLedger::Heard ExchangeLedger::Attempt(UnitSession& link, EventLoop& loop, Want& want,
                                              const SerialFrame& request, int n, int limit, bool silentPastLadder,
                                              SerialFrame& reply) {
  std::int64_t deadline = link.clock_.NowMs() + limit;
  Heard h = Heard::InStep;
  if (!InStepForWant(want)) {
    // Getting in step: markers, or the request's own answer (held).
    want.inStep = true;
    h = Wait(link, loop, want, deadline, reply);
    want.inStep = false;
    if (h == Heard::InStep) deadline = link.clock_.NowMs() + limit;
  }
  if (h != Heard::InStep) return h;
  // Past the ladder a request that may be asked again is not while the unit
  // is silent: a queueing unit would owe one more answer for each copy.
  if (!(silentPastLadder && want.repeats && !InStepFor(want.code))) {
    Send(link, request, want.code, false, "attempt " + std::to_string(n) + ", limit " + std::to_string(limit) + " ms");
    want.sent = true;
  }
  h = Wait(link, loop, want, deadline, reply);
  if (h == Heard::TimedOut && link.trace_)
    link.trace_->Frame("<-", nullptr, 0, "time-out, " + std::to_string(limit) + " ms");
  return h;
}

ReplyFault ExchangeLedger::FaultOf(Heard h, const Want& want, const SerialFrame& reply,
                                   const ReplyCheck& check) const {
  switch (h) {
    case Heard::Taken:
      // Stall after stall: the unit is too slow to be trusted with the rest.
      if (want.learns && stallsInRow_ >= kStallsForTooSlow) return ReplyFault::TooSlow;
      return check ? check(reply) : ReplyFault::None;
    case Heard::Garbled: return ReplyFault::BadChecksum;
    case Heard::Lost: return ReplyFault::PortLost;
    default: return ReplyFault::NoReply;
  }
}

void ExchangeLedger::NoteSilence(const UnitSession& link, Silence& silence, bool noReply, bool heardNothing,
                                 std::int64_t sinceMs) const {
  silence.lastNoReply = noReply;
  silence.lastSilent = noReply && heardNothing;
  // A silence longer than any answer takes: the unit paused.
  if (silence.lastSilent && link.clock_.NowMs() - std::max(sinceMs, lastAnswerMs_) >= kSlowestAnswerMs) {
    silence.waited = true;
  }
}

bool ExchangeLedger::WaitLonger(const UnitSession& link, Silence& silence, const Ladder& ladder,
                                std::int64_t sinceMs) const {
  if (!ladder.learns || !silence.lastNoReply || (cancel_ != nullptr && *cancel_)) return false;
  if (silence.lastSilent) return link.clock_.NowMs() - std::max(sinceMs, lastAnswerMs_) < kLongestSilenceMs;
  // The unit spoke again after a silence: its answer may need an attempt or
  // two more (markers first, a lost answer).
  return silence.waited && silence.spokeAfter <= kAttemptsAfterSilence;
}

ExchangeResult ExchangeLedger::Exchange(UnitSession& link, EventLoop& loop, const SerialFrame& request,
                                        std::uint8_t expected, const Ladder& ladder, const ReplyCheck& check) {
  ExchangeResult r;
  Want want;
  want.request = &request;
  want.code = expected;
  want.repeats = ladder.repeats;
  want.learns = ladder.learns;
  const std::int64_t startMs = link.clock_.NowMs();
  // Past its ladder, a unit that fell silent is waited for at the ladder's
  // last limit; once it speaks again, a few attempts more.
  Silence silence;
  for (int n = 1; n <= ladder.attempts || WaitLonger(link, silence, ladder, startMs); ++n) {
    r.attempts = n;
    ++counts_.attempts;
    if (n > 1) ++counts_.retries;
    if (n > ladder.attempts) ++counts_.silentWaits;
    if (link.port_.Lost() || !link.port_.IsOpen()) {
      r.fault = ReplyFault::PortLost;
      break;
    }
    SerialFrame reply;
    const long heardBefore = framesHeard_;
    const Heard h =
        Attempt(link, loop, want, request, n, LimitOf(ladder, std::min(n, ladder.attempts)),
                n > ladder.attempts && silence.lastSilent, reply);
    const ReplyFault fault = FaultOf(h, want, reply, check);
    // Silence says less than what an earlier attempt heard.
    if (fault != ReplyFault::NoReply || n == 1) r.fault = fault;
    if (r.ok()) {
      r.reply = reply;
      return r;
    }
    if (r.fault == ReplyFault::PortLost || r.fault == ReplyFault::TooSlow) break;
    NoteSilence(link, silence, fault == ReplyFault::NoReply, framesHeard_ == heardBefore, startMs);
    if (n > ladder.attempts && !silence.lastSilent) ++silence.spokeAfter;
  }
  if (r.fault == ReplyFault::NoReply && answerTimeMs_ > kSlowestAnswerMs) r.fault = ReplyFault::TooSlow;
  return r;
}

}  // namespace vexa::link
