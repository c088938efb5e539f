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
#include "workspace/workspace.h"

namespace vexa::link {

inline constexpr std::uint8_t kCR = 13;
// A reply is collected up to this many characters, terminator included.
inline constexpr int kMaxReplyChars = 101;
// The longest time limit of any exchange (a block read's last attempt). An
// answer the unit still owes is awaited at most this long after the last
// request.
inline constexpr int kLongestReplyMs = 1200;

// Counters of what the link did, for the command line and the benchmark.
struct LinkStats {
  long framesSent = 0;
  long repliesAccepted = 0;  // replies with a valid checksum
  long repliesFailed = 0;    // time-outs, bad checksums, overlong replies
  long retries = 0;          // block attempts after the first
  long lateAnswersDropped = 0;  // answers to earlier attempts dropped before the next exchange
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

  // Answers still owed by the unit: every request sent adds one, every answer
  // seen on the line (a CR behind at least two characters) takes one away.
  // The block transfer clears it before a block and waits for what is still
  // owed after a block that needed a retry.
  int answersOwed = 0;
  int charsSinceCR = 0;
  std::int64_t lastRequestMs = 0;
  // How many steps up its ladder of time limits the first attempt of a block
  // starts, once the unit has shown that it answers slowly.
  int attemptRaise = 0;

  LinkStats stats;

  // Why the last block of a transfer failed all its attempts: the block, the
  // attempts made and the fault of the last one. Cleared when a transfer
  // starts; the workflows show its reason under their failure message.
  std::optional<Failure> lastFailure;
};

// Why a receive gave no valid reply.
enum class ReplyFault {
  None,         // valid reply
  NoReply,      // nothing arrived before the time limit
  Incomplete,   // characters arrived but no terminator before the time limit
  Overlong,     // the 101st stored character was not CR
  Late,         // a complete frame, but only after the time limit had passed
  TooShort,     // the terminator alone
  BadChecksum,  // the checksum byte does not match the payload
  PortLost,     // the port went away
};

const char* ReplyFaultName(ReplyFault f);

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

// Opens the port of ws.settings.Port with the line settings, then switches
// DTR off and RTS on (a port without modem lines is accepted). On failure
// shows "Nelze otevřít port <port>." with, on a second line, the device and
// why it could not be opened (PortOpenMessage), and returns false.
bool OpenPort(Link& link, Workspace& ws, Services& sv);
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

// Waits until the unit has sent every answer it still owes (Link::answersOwed)
// or the clock reaches `untilMs`, and drops what arrives meanwhile. An answer
// to an earlier attempt must never be taken for the reply to a later request:
// the replies carry no address. Returns at once when the port is gone; the
// count is cleared either way.
void DropOwedAnswers(Link& link, EventLoop& loop, std::int64_t untilMs);

// Clears ReplyTimedOut and sets the deadline `timeoutMs` from now.
void ArmReplyTimer(Link& link, int timeoutMs);
bool ReplyTimedOut(const Link& link);

// Sends `request`, receives with `timeoutMs`, and accepts the reply only when
// it is valid and its first byte is `expectedCode`.
bool Exchange(Link& link, EventLoop& loop, const SerialFrame& request, int timeoutMs, std::uint8_t expectedCode,
              SerialFrame& reply);

// The byte of hexadecimal pair k (1-based) of a reply: characters 2k-1 and
// 2k, low digit first. nullopt when the reply is too short to hold it or a
// character is not a hexadecimal digit.
std::optional<std::uint8_t> ReplyPair(const SerialFrame& reply, int k);

}  // namespace vexa::link
