// The exchanges of the programming-mode dialogue: the poll, the
// identification, the memory and modem query and the release. Activating and
// releasing the link (what the window shows, the messages) are workflows
// (workflows/link_workflows.h).
#pragma once

#include <cstdint>
#include <optional>

#include "link/unit_session.h"
#include "link/ledger.h"
#include "platform/event_loop.h"

namespace vexa::link {

// Command and reply codes of the programming-mode dialogue.
inline constexpr std::uint8_t kCmdPoll = 1;
inline constexpr std::uint8_t kCmdIdentify = 2;
inline constexpr std::uint8_t kCmdMemoryModem = 3;
inline constexpr std::uint8_t kCmdLeave = 6;  // followed by 170, 85
inline constexpr std::uint8_t kReplyPoll = 129;
inline constexpr std::uint8_t kReplyIdentify = 130;
inline constexpr std::uint8_t kReplyMemoryModem = 131;
inline constexpr std::uint8_t kReplyLeave = 134;

inline constexpr int kPollTimeoutMs = 500;
inline constexpr int kIdentifyTimeoutMs = 100;
inline constexpr int kLeaveTimeoutMs = 100;

// One poll of 500 ms; an answer to an earlier poll answers it too.
inline constexpr Ladder kPollLadder{1, kPollTimeoutMs, 0, false, true};
// The identification and the memory and modem query: 100 ms first, then
// retried like a block read. Every such request asks the same, so an answer
// to an earlier one (or to a marker that asked it) answers it too: they are
// asked again instead of sending markers.
inline constexpr Ladder kIdentifyLadder{12, kIdentifyTimeoutMs, 100, true, true};
inline constexpr Ladder kLeaveLadder{1, kLeaveTimeoutMs, 0, false, false};
// The longest the answers to earlier polls are waited for after the poll
// that was answered.
inline constexpr int kPollSettleMs = 1200;

// What the identification reports.
struct Identity {
  std::uint32_t product = 0;  // 24 bits, least significant byte first on the wire
  std::uint8_t minor = 0;
  std::uint8_t major = 0;
};
// What the memory and modem query reports.
struct MemoryModem {
  std::uint8_t memoryCode = 0;
  std::uint8_t modemCode = 0;
};

// One poll for the programming mode.
ExchangeResult Poll(UnitSession& link, EventLoop& loop);
// The identification; a reply too short for its five pairs or with a
// non-hexadecimal one is a failed attempt (BadData).
ExchangeResult Identify(UnitSession& link, EventLoop& loop, Identity& identity);
// The usable memory of memory code n: 2^(n+7) - 64 bytes for the codes
// 0..9; nullopt for any other.
std::optional<long> UsableBytesOf(std::uint8_t memoryCode);
// The memory and modem query; two pairs, read as the identification's. An
// answer tells the session the unit's memory size.
ExchangeResult QueryMemoryModem(UnitSession& link, EventLoop& loop, MemoryModem& memoryModem);

// Sends the release (6 170 85) once, after flushing the input. True when the
// unit acknowledged it with 134, or, its answer missing, no longer answers
// the identification (it has left the programming mode). False when it still
// identifies itself (or the port is gone); `why` then receives the release's
// fault.
bool ReleaseUnit(UnitSession& link, EventLoop& loop, ReplyFault* why = nullptr);

}  // namespace vexa::link
