// The frame layer of the unit's serial protocol ("Komunik").
//
// Every exchange is one request frame from the program answered by at most one
// reply frame from the unit. On the wire a frame is its payload, one checksum
// byte and CR; there is no start marker, length byte or escaping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "codec/serial_frame.h"
#include "link/ledger.h"

namespace vexa::link {

inline constexpr std::uint8_t kCR = 13;
// A reply is collected up to this many characters, terminator included.
inline constexpr int kMaxReplyChars = 101;
// A marker met with silence this long is sent again (its answer may have been
// lost on the line, a busy unit may not have seen it); the wait doubles each
// time.
inline constexpr int kMarkerResendMs = 150;
// The markers: requests that are answered at once in programming mode and
// whose reply codes no block command uses. The memory and modem query is the
// marker of every request but itself; the identification is its marker.
struct Marker {
  std::uint8_t command;
  std::uint8_t reply;
};
inline constexpr Marker kMarkers[2] = {{3, 131}, {2, 130}};  // memory and modem (the shorter answer), identification

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

// The byte of hexadecimal pair k (1-based) of a reply: characters 2k-1 and
// 2k, low digit first. nullopt when the reply is too short to hold it or a
// character is not a hexadecimal digit.
std::optional<std::uint8_t> ReplyPair(const SerialFrame& reply, int k);

}  // namespace vexa::link
