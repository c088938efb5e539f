#include "link/frame.h"

#include "codec/values.h"
#include "texts/texts.h"

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
    case ReplyFault::TooSlow: return "too slow";
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
    case ReplyFault::TooSlow: return texts::kReplyTooSlow;
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

std::optional<std::uint8_t> ReplyPair(const SerialFrame& reply, int k) {
  if (k < 1) return std::nullopt;
  const int low = 2 * k - 1;
  const int high = 2 * k;
  if (high >= reply.Length) return std::nullopt;
  return HexPairToByte(static_cast<char>(reply.Data[static_cast<std::size_t>(high)]),
                       static_cast<char>(reply.Data[static_cast<std::size_t>(low)]));
}

}  // namespace vexa::link
