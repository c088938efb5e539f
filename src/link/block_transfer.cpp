#include "link/block_transfer.h"

#include <algorithm>

#include "codec/values.h"
#include "platform/progress.h"
#include "workspace/usage.h"

namespace vexa::link {

std::vector<long> FrontAreaBlocks() {
  std::vector<long> blocks;
  for (long a = 0; a < kBodyStart; a += kBlockSize) {
    if (a >= kUnitOwnedStart && a < kUnitOwnedEnd) continue;
    blocks.push_back(a);
  }
  return blocks;
}

std::vector<long> BodyBlocks(long used, long usable) {
  std::vector<long> blocks;
  long a = kBodyStart;
  for (;;) {
    blocks.push_back(a);
    if (!(used > a) || a + kBlockSize > kImageSize - kBlockSize || a + kBlockSize >= usable) break;
    a += kBlockSize;
  }
  return blocks;
}

std::optional<long> UsableMemorySize(const DeviceInfo& device) {
  const auto size = MemorySizeOf(device.MemorySize);
  if (!size || *size <= 0) return std::nullopt;
  return *size;
}

SerialFrame ReadBlockRequest(std::uint16_t address) {
  SerialFrame f = MakeFrame({kCmdReadBlock});
  AppendByteHex(f, 1, static_cast<std::uint8_t>(address & 0xFF));
  AppendByteHex(f, 3, static_cast<std::uint8_t>(address >> 8));
  return f;
}

SerialFrame WriteBlockRequest(std::uint16_t address, const std::array<std::uint8_t, kBlockSize>& data) {
  SerialFrame f = MakeFrame({kCmdWriteBlock});
  AppendByteHex(f, 1, static_cast<std::uint8_t>(address & 0xFF));
  AppendByteHex(f, 3, static_cast<std::uint8_t>(address >> 8));
  for (int i = 0; i < kBlockSize; ++i) AppendByteHex(f, 5 + 2 * i, data[static_cast<std::size_t>(i)]);
  return f;
}

namespace {

bool IsBlockAddress(long address) {
  return address >= 0 && address % kBlockSize == 0 && address + kBlockSize <= kImageSize;
}

std::array<std::uint8_t, kBlockSize> ImageBlock(const EepromImage& image, long address) {
  std::array<std::uint8_t, kBlockSize> b{};
  for (int i = 0; i < kBlockSize; ++i) b[static_cast<std::size_t>(i)] = ReadImageByte(image, address + i).value_or(0);
  return b;
}

void SetImageBlock(EepromImage& image, long address, const std::array<std::uint8_t, kBlockSize>& b) {
  for (int i = 0; i < kBlockSize; ++i) WriteImageByte(image, b[static_cast<std::size_t>(i)], address + i);
}

// A unit that answered this many blocks more quickly than its answer time
// waits less again on the first attempt.
constexpr int kAnswersBeforeEasing = 16;
// Room on top of the unit's answer time for the characters on the line.
constexpr int kAnswerMarginMs = 50;

// A block answered in `ms`: the unit's answer time grows at once, and eases
// to the slowest of the last run of quicker answers.
void NoteAnswer(Link& link, std::int64_t ms) {
  const int t = static_cast<int>(std::min<std::int64_t>(ms, kLongestReplyMs));
  if (t > link.answerTimeMs) {
    link.answerTimeMs = t;
    link.quickAnswers = 0;
    link.recentSlowestMs = 0;
    return;
  }
  link.recentSlowestMs = std::max(link.recentSlowestMs, t);
  if (++link.quickAnswers >= kAnswersBeforeEasing) {
    link.answerTimeMs = link.recentSlowestMs;
    link.quickAnswers = 0;
    link.recentSlowestMs = 0;
  }
}

// Whether the failed attempt's own answer may still be on its way: anything
// but a valid reply with the right code (or no request at all) leaves that
// open.
bool AnswerMayFollow(ReplyFault f) {
  return f != ReplyFault::None && f != ReplyFault::BadData && f != ReplyFault::Mismatch && f != ReplyFault::PortLost;
}

FailureKind KindOf(ReplyFault f) {
  switch (f) {
    case ReplyFault::BadChecksum:
    case ReplyFault::BadData:
    case ReplyFault::Overlong:
    case ReplyFault::Incomplete:
    case ReplyFault::TooShort: return FailureKind::Data;
    case ReplyFault::PortLost: return FailureKind::Port;
    default: return FailureKind::Device;
  }
}

// Up to `attempts` tries on the ladder of time limits `timeout`, no pause
// between them.
//
// The replies carry no address. When an attempt fails before the unit's
// answer to it has arrived (the unit is slow, or noise ended the attempt
// early), that answer may still come, and taken for the reply to the next
// request it would give a block the data of another. So after every such
// failed attempt DropOwedAnswers sends its marker and drops whatever comes
// before the marker's answer: every attempt starts on a line that owes
// nothing, and the answer it takes is its own. The late answer to the failed
// attempt itself is kept: the next attempt asks the same and takes it, so a
// unit slower than the top of the ladder (a write at 1100 ms) still gets
// through.
//
// The first attempt of a block starts as far up the ladder as the unit's
// answer time needs, so a slow unit is asked once per block; a prompt unit
// that lost an answer stays at the bottom.
template <class Attempt, class Timeout>
bool WithRetries(Link& link, EventLoop& loop, int attempts, Timeout timeout, Attempt attempt) {
  link.lastFailure.reset();
  link.heldReply.reset();
  int raise = 0;
  while (raise < attempts - 1 && timeout(1 + raise) < link.answerTimeMs + kAnswerMarginMs) ++raise;
  int n = 1;
  for (;; ++n) {
    if (n > 1) ++link.stats.retries;
    const int limit = timeout(std::min(n + raise, attempts));
    link.traceAttempt = n;
    link.traceLimitMs = limit;
    link.lastFault = ReplyFault::None;
    const std::int64_t sentAt = link.clock.NowMs();
    if (attempt(limit)) {
      if (!link.replyWasHeld) NoteAnswer(link, link.clock.NowMs() - sentAt);
      return true;
    }
    if (AnswerMayFollow(link.lastFault)) DropOwedAnswers(link, loop);
    if (n == attempts || link.lastFault == ReplyFault::PortLost) break;
  }
  link.lastFailure = Failure::Of(KindOf(link.lastFault), ReplyFaultCause(link.lastFault)).AtBlock(link.currentBlock, n);
  return false;
}

}  // namespace

namespace {

using Block = std::array<std::uint8_t, kBlockSize>;

// One attempt at reading the block at `address`: its bytes in `data`.
bool ReceiveBlock(Link& link, EventLoop& loop, long address, int timeoutMs, Block& data) {
  if (!IsBlockAddress(address)) return false;
  link.currentBlock = address;
  SerialFrame reply;
  if (!Exchange(link, loop, ReadBlockRequest(static_cast<std::uint16_t>(address)), timeoutMs, kReplyReadBlock, reply)) {
    return false;
  }
  for (int k = 1; k <= kBlockSize; ++k) {
    const auto b = ReplyPair(reply, k);
    if (!b) {
      link.lastFault = ReplyFault::BadData;
      return false;
    }
    data[static_cast<std::size_t>(k - 1)] = *b;
  }
  return true;
}

// One attempt at writing `data` to the block at `address`.
bool SendBlock(Link& link, EventLoop& loop, long address, const Block& data, int timeoutMs) {
  if (!IsBlockAddress(address)) return false;
  link.currentBlock = address;
  SerialFrame reply;
  return Exchange(link, loop, WriteBlockRequest(static_cast<std::uint16_t>(address), data), timeoutMs,
                  kReplyWriteBlock, reply);
}

// Reads the block at `address` back until it holds `expected`.
bool VerifyData(Link& link, EventLoop& loop, long address, const Block& expected) {
  return WithRetries(link, loop, kVerifyAttempts, VerifyTimeoutMs, [&](int timeoutMs) {
    Block read{};
    if (!ReceiveBlock(link, loop, address, timeoutMs, read)) return false;
    if (read == expected) return true;
    link.lastFault = ReplyFault::Mismatch;
    return false;
  });
}

}  // namespace

bool ReadBlock(Link& link, EepromImage& image, EventLoop& loop, long address, int timeoutMs) {
  Block data{};
  if (!ReceiveBlock(link, loop, address, timeoutMs, data)) return false;
  SetImageBlock(image, address, data);
  return true;
}

bool WriteBlock(Link& link, const EepromImage& image, EventLoop& loop, long address, int timeoutMs) {
  return SendBlock(link, loop, address, ImageBlock(image, address), timeoutMs);
}

bool VerifyBlock(Link& link, const EepromImage& image, EventLoop& loop, long address) {
  return VerifyData(link, loop, address, ImageBlock(image, address));
}

bool ReadBlockWithRetries(Link& link, EepromImage& image, EventLoop& loop, long address) {
  return WithRetries(link, loop, kReadAttempts, ReadTimeoutMs,
                     [&](int timeoutMs) { return ReadBlock(link, image, loop, address, timeoutMs); });
}

bool ReadEeprom(Link& link, EepromImage& image, const Transfer& transfer, Services& sv) {
  const auto usable = transfer.usable;
  if (!usable) return false;
  link.lastFailure.reset();
  FlushInput(link);
  ShowProgress(transfer.cancel, sv, texts::kMsgReading, true);
  const long total = (*usable + kBlockSize - 1) / kBlockSize;
  long done = 0;
  for (long a = 0;; a += kBlockSize) {
    if (!ReadBlockWithRetries(link, image, sv.loop, a)) {
      CloseProgress(sv);
      return false;
    }
    if (link.onBlock) link.onBlock(++done, total);
    if (a + kBlockSize >= *usable || transfer.cancel) break;
  }
  CloseProgress(sv);
  return true;
}

namespace {

enum class BlockResult { Ok, Failed, Cancelled };

// One block of any phase: its write attempts, then its read-back.
BlockResult WriteOneBlock(Link& link, const Transfer& transfer, EventLoop& loop, long address, const Block& data) {
  const bool written = WithRetries(link, loop, kWriteAttempts, WriteTimeoutMs,
                                   [&](int timeoutMs) { return SendBlock(link, loop, address, data, timeoutMs); });
  bool ok = written;
  if (transfer.verify && written && !transfer.cancel) ok = VerifyData(link, loop, address, data);
  if (!ok) return BlockResult::Failed;
  if (transfer.cancel) return BlockResult::Cancelled;
  return BlockResult::Ok;
}

}  // namespace

WritePlan FullWritePlan(long used, long usable) {
  const auto front = FrontAreaBlocks();
  WritePlan plan;
  for (long a : front) plan.push_back({a, true});
  for (long a : BodyBlocks(used, usable)) plan.push_back({a, false});
  for (long a : front) {
    if (a != kMagicBlock && a != kChecksumBlock) plan.push_back({a, false});
  }
  plan.push_back({kMagicBlock, false});
  plan.push_back({kChecksumBlock, false});
  return plan;
}

WriteOutcome WriteBlocks(Link& link, const EepromImage& image, const Transfer& transfer, Services& sv,
                         const WritePlan& plan) {
  link.lastFailure.reset();
  if (plan.empty()) return WriteOutcome::Completed;
  FlushInput(link);
  ShowProgress(transfer.cancel, sv, texts::kMsgWriting, true);

  const long total = static_cast<long>(plan.size());
  long done = 0;
  BlockResult r = BlockResult::Ok;
  for (const BlockWrite& w : plan) {
    // A zeroed block takes the header away; the image keeps its bytes.
    r = WriteOneBlock(link, transfer, sv.loop, w.address, w.zeros ? Block{} : ImageBlock(image, w.address));
    if (link.onBlock) link.onBlock(++done, total);
    if (r != BlockResult::Ok) break;
  }
  CloseProgress(sv);
  switch (r) {
    case BlockResult::Ok: return WriteOutcome::Completed;
    case BlockResult::Failed: return WriteOutcome::Failed;
    case BlockResult::Cancelled: return WriteOutcome::Cancelled;
  }
  return WriteOutcome::Failed;
}

WriteOutcome WriteEeprom(Link& link, const EepromImage& image, const Transfer& transfer, Services& sv, long used) {
  return WriteBlocks(link, image, transfer, sv, FullWritePlan(used, transfer.usable.value_or(kImageSize)));
}

}  // namespace vexa::link
