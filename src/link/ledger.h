// The exchange ledger: which request an answer from the unit belongs to.
//
//   AN ANSWER IS TAKEN FOR A REQUEST ONLY WHILE THE LEDGER IS IN STEP.
//
// The unit's answers carry no address: two block reads are answered with the
// same reply code, so an answer that comes after its request's time limit
// would, taken for the next request's, give a block the data of another. The
// unit serves one request at a time in the order they came; a request that
// comes while it is busy waits (most units) or is never seen (some units), and
// any answer may be lost or garbled on the line. So an answer with a reply
// code settles the oldest request still owed one with that code and every
// request sent before it: those have been answered or never will be.
//
// The ledger keeps every request whose answer may still come. It is in step
// for a request when no request owed an answer carries the same reply code;
// then the next answer with that code is the request's own. Copies of one
// request count as that request: an answer to any of them answers it (the
// poll, the identification and the memory query are asked again instead of
// sending markers). A request whose
// answer did not come in time leaves the ledger unsure for its reply code
// until an answer settles it: its own late answer (taken, as the answer the
// next attempt would have asked for: the held answer), or a marker's. A
// marker is a request answered at once in programming mode whose reply code
// differs from the request's; a marker round that ends in silence leaves the
// ledger unsure, and the next attempt begins with another.
//
// The block transfer and the activation ask the ledger one question:
// Exchange(request) with its ladder of attempts and time limits. They get
// the reply, or the fault of the last attempt. The ledger learns how long the
// unit takes to answer: every attempt waits at least that long (up to 3 s).
// An answer that comes later than kTooLateMs after its request is a stall
// (the unit sent an SMS, the cable moved): it is taken and learned from, and
// only kStallsForTooSlow of them in a row fail the exchange as too late. A
// unit that falls silent is waited for until it has said nothing for
// kLongestSilenceMs, however many attempts that takes; Storno ends that wait.
// The clock is the link's, which stands while the program waits for its user
// (UnitClock): the program's own pause is never the unit's.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "codec/serial_frame.h"
#include "platform/event_loop.h"

namespace vexa::link {

class UnitSession;

// Why an exchange gave no usable reply.
enum class ReplyFault {
  None,         // valid reply
  NoReply,      // nothing arrived before the time limit
  Incomplete,   // characters arrived but no terminator before the time limit
  Overlong,     // the 101st stored character was not CR
  Late,         // a complete frame, but only after the time limit had passed
  TooShort,     // the terminator alone
  BadChecksum,  // the checksum byte does not match the payload
  PortLost,     // the port went away
  WrongCode,    // a valid frame with another reply code than the request's
  BadData,      // the reply's fields cannot be read
  Mismatch,     // a block read back differs from what was written
  TooSlow,      // the unit answers, but later than the longest time limit
};

// The attempts of one exchange: attempt n (1-based) waits firstMs + stepMs ·
// (n − 1).
struct Ladder {
  int attempts = 1;
  int firstMs = 100;
  int stepMs = 0;
  // Every attempt waits at least the unit's learned answer time and a margin
  // (up to kSlowestAnswerMs), so a slow unit is asked once per block.
  bool learns = false;
  // The request may be sent again while an earlier copy is still owed an
  // answer (the poll): an answer to any copy is its answer, and no marker is
  // sent for it.
  bool repeats = false;
  constexpr int Limit(int n) const { return firstMs + stepMs * (n - 1); }
};

// The longest an attempt waits for a slow unit; a unit slower than this
// answers too late.
inline constexpr int kSlowestAnswerMs = 3000;
// An answer taken this long after its request is a stall, not the unit's pace.
inline constexpr int kTooLateMs = 3500;
// So many stalls in a row: the unit is too slow to be trusted (TooSlow).
inline constexpr int kStallsForTooSlow = 3;
// A unit that has said nothing for this long during an exchange that learns
// the answer time (block transfers, the identification and the memory query)
// has gone: the exchange fails with the last attempt's fault.
inline constexpr int kLongestSilenceMs = 30000;
// A marker met with silence is sent again after twice as long as the one
// before, but never later than this (or the unit's answer time): a unit back
// from a pause is asked at once.
inline constexpr int kLongestMarkerWaitMs = 1200;

// What an exchange gave: the reply (valid, with the expected code and
// accepted by the caller's check), or the fault of its last attempt.
struct ExchangeResult {
  SerialFrame reply;
  ReplyFault fault = ReplyFault::NoReply;
  int attempts = 0;
  bool ok() const { return fault == ReplyFault::None; }
};

// Judges an answer that is the request's own: None takes it, any other fault
// ends the attempt (BadData, Mismatch) and the next attempt asks again.
using ReplyCheck = std::function<ReplyFault(const SerialFrame&)>;

// What the link did, for the command line, the benchmark and the tests.
struct LedgerCounts {
  long framesSent = 0;     // every request on the line, markers included
  long requests = 0;       // requests other than markers
  long attempts = 0;       // attempts of every exchange
  long retries = 0;        // attempts after an exchange's first
  long markers = 0;        // markers sent
  long heldTaken = 0;      // answers taken after their attempt's time limit
  long lateDropped = 0;    // answers to earlier requests dropped
  long garbled = 0;        // frames with a bad checksum or length
  long answersTaken = 0;   // replies handed to a caller
  long stalls = 0;         // answers taken later than kTooLateMs
  long silentWaits = 0;    // attempts beyond the ladder while the unit was silent
};

// Only the session (link/unit_session.h) drives its ledger: every request on its
// line goes through Exchange or Settle.
class ExchangeLedger {
 private:
  friend class UnitSession;
  // Sends `request` and waits for its answer with reply code `expected`, up
  // to `ladder.attempts` attempts. Each attempt first brings the ledger in
  // step for the request (markers), then sends it; its own answer is taken
  // whenever it comes while the exchange runs.
  ExchangeResult Exchange(UnitSession& link, EventLoop& loop, const SerialFrame& request, std::uint8_t expected,
                          const Ladder& ladder, const ReplyCheck& check = {});
  // Whether `cancel` (Storno, Ctrl+C) ends the wait for a silent unit; the
  // transfers and the activation point it at their cancel flag.
  void WatchCancel(const bool* cancel) { cancel_ = cancel; }

  // Markers until no request but markers is owed an answer, for up to
  // `budgetMs`; false when the time ran out first (or the port is gone).
  bool Settle(UnitSession& link, EventLoop& loop, int budgetMs);
  // A new unit (or the port opened again): nothing is owed, nothing learned.
  void Forget();
  // The input was discarded: a frame begun before is gone.
  void InputDiscarded() { rxN_ = 0; }

 public:
  // Whether no request is owed an answer that carries `code`.
  bool InStepFor(std::uint8_t code) const;
  // Requests owed an answer, markers included.
  int Owed() const { return static_cast<int>(owed_.size()); }
  // Valid answers heard with `code` so far.
  long AnswersHeard(std::uint8_t code) const { return heard_[code]; }
  // Characters read from the line so far, answers or not.
  long CharsHeard() const { return charsHeard_; }
  // How long the unit has lately taken for an answer (0: prompt or unknown).
  int AnswerTimeMs() const { return answerTimeMs_; }

  const LedgerCounts& counts() const { return counts_; }

 private:
  struct Entry {
    SerialFrame request;
    std::uint8_t code = 0;
    std::int64_t sentMs = 0;
    bool marker = false;
  };
  // What one wait ended with.
  enum class Heard { Nothing, Taken, InStep, Garbled, TimedOut, Lost };
  // What the exchange waits for.
  struct Want {
    const SerialFrame* request = nullptr;  // null: only to get in step (Settle)
    std::uint8_t code = 0;
    bool repeats = false;
    bool learns = false;  // its answer times teach the unit's answer time
    bool inStep = false;  // phase: getting in step (markers), not yet sent
    bool sent = false;    // the request is on the line (its own answer may come)
  };

  bool InStepForWant(const Want& w) const;
  bool Takeable(const Want& w, std::uint8_t code) const;
  void Send(UnitSession& link, const SerialFrame& request, std::uint8_t code, bool marker, const std::string& note);
  void SendMarker(UnitSession& link, const Want& want);
  Heard Wait(UnitSession& link, EventLoop& loop, Want& want, std::int64_t deadline, SerialFrame& reply);
  Heard Judge(UnitSession& link, Want& want, const std::uint8_t* frame, std::size_t n, SerialFrame& reply);
  Heard Garbled(const Want& want);
  Heard Overlong(UnitSession& link, const Want& want);
  void NoteAnswerTime(std::int64_t ms);
  int LimitOf(const Ladder& ladder, int n) const;
  // One attempt: in step first, then the request and its answer.
  Heard Attempt(UnitSession& link, EventLoop& loop, Want& want, const SerialFrame& request, int n, int limit,
                bool silentPastLadder, SerialFrame& reply);
  ReplyFault FaultOf(Heard h, const Want& want, const SerialFrame& reply, const ReplyCheck& check) const;
  // What the attempts of an exchange heard, for waiting out a silence.
  struct Silence {
    bool lastSilent = false;   // the last attempt heard nothing at all
    bool lastNoReply = false;  // the last attempt got no reply
    bool waited = false;       // the unit paused longer than any answer takes
    int spokeAfter = 0;        // attempts past the ladder that heard the unit
  };
  // After the ladder: the last attempt heard nothing and the unit has been
  // silent since `sinceMs` for less than kLongestSilenceMs, or it has just
  // spoken again after such a wait; and nobody asked to stop.
  bool WaitLonger(const UnitSession& link, Silence& silence, const Ladder& ladder, std::int64_t sinceMs) const;
  void NoteSilence(const UnitSession& link, Silence& silence, bool noReply, bool heardNothing,
                   std::int64_t sinceMs) const;

  std::deque<Entry> owed_;
  // The frame being received (replies contain no CR but their terminator).
  std::array<std::uint8_t, 101> rx_{};
  std::size_t rxN_ = 0;
  std::array<long, 256> heard_{};
  // Markers: the next may be sent at this time while the ledger is unsure;
  // the wait doubles after every marker met with silence.
  std::int64_t nextMarkerAtMs_ = 0;
  int markerWaitMs_ = 0;
  // Something was heard that may have freed a busy unit: one more marker as
  // soon as the line is quiet.
  bool askAgain_ = false;
  std::int64_t takenAfterMs_ = 0;  // the last answer taken came this long after its request
  int answerTimeMs_ = 0;
  int quickAnswers_ = 0;
  int recentSlowestMs_ = 0;
  int stallsInRow_ = 0;            // answers taken later than kTooLateMs, in a row
  std::int64_t lastAnswerMs_ = 0;  // the last valid frame came then
  long framesHeard_ = 0;           // valid frames heard in all
  long charsHeard_ = 0;
  const bool* cancel_ = nullptr;
  LedgerCounts counts_;
};

}  // namespace vexa::link
