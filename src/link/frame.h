// The frame layer of the unit's serial protocol ("Komunik").
//
// Every exchange is one request frame from the program answered by at most one
// reply frame from the unit. On the wire a frame is its payload, one checksum
// byte and CR; there is no start marker, length byte or escaping.
//
// The reply time limit is a deadline on the link's clock. It plays the part of
// the one-shot timer Casovac: arming it clears ReplyTimedOut, and
// ReplyTimedOut becomes true once the clock has reached the deadline. The
// deadline is not cleared when a reply completes; the next arming replaces it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "codec/serial_frame.h"
#include "link/serial_port.h"
#include "platform/failure.h"
#include "platform/services.h"

namespace vexa::link {

inline constexpr std::uint8_t kCR = 13;
// A reply is collected up to this many characters, terminator included.
inline constexpr int kMaxReplyChars = 101;
// The longest time limit of any exchange (a block read's last attempt). An
// answer the unit still owes comes within this long after its request, or
// never.
inline constexpr int kLongestReplyMs = 1200;
// After the answer to the last request, a marker's answer comes at once;
// this long without one, the markers were lost.
inline constexpr int kMarkerAfterAnswerMs = 150;
// A marker met with silence this long is sent again (its answer may have been
// lost on the line); the wait doubles each time, up to kMarkersPerRound.
inline constexpr int kMarkerResendMs = 150;
inline constexpr int kMarkersPerRound = 3;
// The markers: requests that are answered at once in programming mode and
// whose reply codes no block command uses. Successive rounds alternate
// between them, so a marker answer left over from one round never ends the
// next.
struct Marker {
  std::uint8_t command;
  std::uint8_t reply;
};
inline constexpr Marker kMarkers[2] = {{3, 131}, {2, 130}};  // memory and modem (the shorter answer), identification
// Whether a reply code is a marker's answer.
constexpr bool IsMarkerReply(std::uint8_t code) { return code == kMarkers[0].reply || code == kMarkers[1].reply; }

class Trace;

// Counters of what the link did, for the command line and the benchmark.
struct LinkStats {
  long framesSent = 0;
  long repliesAccepted = 0;  // replies with a valid checksum
  long repliesFailed = 0;    // time-outs, bad checksums, overlong replies
  long retries = 0;          // block attempts after the first
  long lateAnswersDropped = 0;  // answers to earlier requests dropped
  long markers = 0;             // identifications sent to find the end of the owed answers
};

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
};

// The serial port, the clock and the reply deadline of one program run.
struct Link {
  Link(SerialPort& p, Clock& c) : port(p), clock(c) {}

  SerialPort& port;
  Clock& clock;

  // Casovac: the reply deadline, armed by ArmReplyTimer.
  bool timerArmed = false;
  std::int64_t replyDeadlineMs = 0;

  // Called after every block of a whole-memory transfer with the blocks done
  // and the blocks planned (the command line draws its progress bar from it).
  std::function<void(long done, long total)> onBlock;

  // Requests whose answer may still come: every request sent adds one, every
  // answer seen on the line (a CR behind at least two characters) takes one
  // away, and DropOwedAnswers clears it.
  int answersOwed = 0;
  int charsSinceCR = 0;
  std::int64_t lastRequestMs = 0;
  // The reply code the last exchange waited for, and why it gave no usable
  // reply (None when it did).
  std::uint8_t lastExpectedCode = 0;
  ReplyFault lastFault = ReplyFault::None;
  // The block the running attempts are about.
  long currentBlock = -1;
  // The last request sent other than a marker. When DropOwedAnswers meets
  // the answer to it, the answer is held for the next attempt: that attempt
  // asks the same, so it takes the held answer instead of asking again.
  SerialFrame lastRequest;
  std::optional<SerialFrame> heldReply;
  SerialFrame heldRequest;
  bool replyWasHeld = false;  // the last exchange took a held answer
  // How long the unit has lately taken for a block answer: the first attempt
  // of a block waits at least this long (up its ladder of time limits), so a
  // slow unit is asked once per block. It eases after a run of quicker
  // answers.
  int answerTimeMs = 0;
  int quickAnswers = 0;
  int recentSlowestMs = 0;
  // Rounds of DropOwedAnswers so far (which marker the next one sends).
  int markerRounds = 0;
  // For the trace: the attempt the next request is, and its time limit; -1
  // while DropOwedAnswers sends its marker.
  int traceAttempt = 0;
  int traceLimitMs = 0;
  // Where every frame is recorded for support; null records nothing.
  Trace* trace = nullptr;

  LinkStats stats;

  // Why the last block of a transfer failed all its attempts: the block, the
  // attempts made and the fault of the last one. Cleared when a transfer
  // starts; the workflows show its reason under their failure message.
  std::optional<Failure> lastFailure;
};

const char* ReplyFaultName(ReplyFault f);
// The fault in the user's words (Czech), for the reason under a failure
// message: "zařízení neodpovědělo", "odpověď má chybný kontrolní součet".
const char* ReplyFaultCause(ReplyFault f);

// FrameChecksum: (sum of the payload bytes + 1) mod 256, with 13 replaced by 12
// so that a checksum never equals the terminator.
std::uint8_t FrameChecksum(const std::uint8_t* payload, std::size_t length);
std::uint8_t FrameChecksum(const SerialFrame& frame);

// A request of the given raw bytes (code byte first).
SerialFrame MakeFrame(std::initializer_list<std::uint8_t> bytes);

// Judges the characters a receive has stored: `stored` holds them at
// positions 0..n-1, `timedOut` is ReplyTimedOut at the end of the receive.
// The time-out is tested first, even when a complete frame was stored.
ReplyFault ValidateReply(const SerialFrame& stored, int n, bool timedOut);

// Opens the port named `port` (the one chosen in the window) with the line
// settings, then switches DTR off and RTS on (a port without modem lines is
// accepted). On failure shows "Nelze otevřít port <port>." with, on a second
// line, the device and why it could not be opened (PortOpenMessage), and
// returns false.
bool OpenPort(Link& link, const std::string& port, Services& sv);
// Closes the port when it is open.
void ClosePort(Link& link);

// Writes the frame in wire form: payload, checksum, CR. False when the port
// did not take every character (or the frame length is not 1..256).
bool SendFrame(Link& link, const SerialFrame& frame);

// Waits up to `timeoutMs` for one reply. Length 0 means no valid reply; the
// reason goes to `fault` when given. Yields to the event loop before every
// character it reads and sleeps on the port while nothing arrives.
SerialFrame ReceiveFrame(Link& link, EventLoop& loop, int timeoutMs, ReplyFault* fault = nullptr);

// Discards all waiting input (at least one read is made).
void FlushInput(Link& link);

// Makes sure no answer to an earlier request can still arrive: sends a
// marker and drops every answer that comes before the marker's own (its
// reply code differs from every other answer's). A unit that queues its
// requests answers them all before the marker. One that was busy when the
// marker came never saw it: the marker is sent again after silence (its
// answer may also have been lost on the line) and once more as soon as the
// answer to the last request has come; after that answer nothing but a
// marker's is owed, so the wait ends kMarkerAfterAnswerMs later at the
// latest, and kLongestReplyMs after the last request when no answer comes.
// The answer to the last request tells how slowly the unit answers
// (Link::answerTimeMs) and is held for an attempt that asks the same
// (Link::heldReply). Returns at once when the port is gone;
// Link::answersOwed is cleared either way.
void DropOwedAnswers(Link& link, EventLoop& loop);

// Clears ReplyTimedOut and sets the deadline `timeoutMs` from now.
void ArmReplyTimer(Link& link, int timeoutMs);
bool ReplyTimedOut(const Link& link);

// Sends `request`, receives with `timeoutMs`, and accepts the reply only when
// it is valid and its first byte is `expectedCode`. A marker's answer that
// comes meanwhile is a late one and is dropped, unless it is what the request
// expects. A held answer to the same request is taken
// without sending. Link::lastFault tells why a reply was refused.
bool Exchange(Link& link, EventLoop& loop, const SerialFrame& request, int timeoutMs, std::uint8_t expectedCode,
              SerialFrame& reply);

// The byte of hexadecimal pair k (1-based) of a reply: characters 2k-1 and
// 2k, low digit first. nullopt when the reply is too short to hold it or a
// character is not a hexadecimal digit.
std::optional<std::uint8_t> ReplyPair(const SerialFrame& reply, int k);

}  // namespace vexa::link
