#include "link/block_transfer.h"

#include <algorithm>
#include <memory>

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

bool ReadBlock(Link& link, Workspace& ws, EventLoop& loop, long address, int timeoutMs) {
  if (!IsBlockAddress(address)) return false;
  link.currentBlock = address;
  SerialFrame reply;
  if (!Exchange(link, loop, ReadBlockRequest(static_cast<std::uint16_t>(address)), timeoutMs, kReplyReadBlock, reply)) {
    return false;
  }
  std::array<std::uint8_t, kBlockSize> data{};
  for (int k = 1; k <= kBlockSize; ++k) {
    const auto b = ReplyPair(reply, k);
    if (!b) {
      link.lastFault = ReplyFault::BadData;
      return false;
    }
    data[static_cast<std::size_t>(k - 1)] = *b;
  }
  SetImageBlock(ws.image, address, data);
  return true;
}

bool WriteBlock(Link& link, Workspace& ws, EventLoop& loop, long address, int timeoutMs) {
  if (!IsBlockAddress(address)) return false;
  link.currentBlock = address;
  SerialFrame reply;
  return Exchange(link, loop, WriteBlockRequest(static_cast<std::uint16_t>(address), ImageBlock(ws.image, address)),
                  timeoutMs, kReplyWriteBlock, reply);
}

bool VerifyBlock(Link& link, Workspace& ws, EventLoop& loop, long address) {
  const auto expected = ImageBlock(ws.image, address);
  return WithRetries(link, loop, kVerifyAttempts, VerifyTimeoutMs, [&](int timeoutMs) {
    if (!ReadBlock(link, ws, loop, address, timeoutMs)) return false;
    if (ImageBlock(ws.image, address) == expected) return true;
    link.lastFault = ReplyFault::Mismatch;
    return false;
  });
}

bool ReadBlockWithRetries(Link& link, Workspace& ws, EventLoop& loop, long address) {
  return WithRetries(link, loop, kReadAttempts, ReadTimeoutMs,
                     [&](int timeoutMs) { return ReadBlock(link, ws, loop, address, timeoutMs); });
}

bool ReadEeprom(Link& link, Workspace& ws, Services& sv) {
  const auto usable = UsableMemorySize(ws.device);
  if (!usable) return false;
  link.lastFailure.reset();
  FlushInput(link);
  ShowProgress(ws, sv, texts::kMsgReading, true);
  const long total = (*usable + kBlockSize - 1) / kBlockSize;
  long done = 0;
  for (long a = 0;; a += kBlockSize) {
    if (!ReadBlockWithRetries(link, ws, sv.loop, a)) {
      CloseProgress(sv);
      return false;
    }
    if (link.onBlock) link.onBlock(++done, total);
    if (a + kBlockSize >= *usable || ws.CancelRequested) break;
  }
  CloseProgress(sv);
  return true;
}

namespace {

enum class BlockResult { Ok, Failed, Cancelled };

// One block of any phase: its write attempts, then its read-back.
BlockResult WriteOneBlock(Link& link, Workspace& ws, Services& sv, long address) {
  const bool written = WithRetries(link, sv.loop, kWriteAttempts, WriteTimeoutMs,
                                   [&](int timeoutMs) { return WriteBlock(link, ws, sv.loop, address, timeoutMs); });
  bool ok = written;
  if (ws.settings.CheckWrite && written && !ws.CancelRequested) ok = VerifyBlock(link, ws, sv.loop, address);
  if (!ok) return BlockResult::Failed;
  if (ws.CancelRequested) return BlockResult::Cancelled;
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

WriteOutcome WriteBlocks(Link& link, Workspace& ws, Services& sv, const WritePlan& plan) {
  link.lastFailure.reset();
  if (plan.empty()) return WriteOutcome::Completed;
  FlushInput(link);
  ShowProgress(ws, sv, texts::kMsgWriting, true);

  const long total = static_cast<long>(plan.size());
  long done = 0;
  // What the image held before: the bytes every block is written with, and
  // the image put back when the write does not complete.
  const auto before = std::make_unique<EepromImage>(ws.image);

  auto finish = [&](BlockResult r) {
    CloseProgress(sv);
    if (r != BlockResult::Ok) ws.image = *before;
    switch (r) {
      case BlockResult::Ok: return WriteOutcome::Completed;
      case BlockResult::Failed: return WriteOutcome::Failed;
      case BlockResult::Cancelled: return WriteOutcome::Cancelled;
    }
    return WriteOutcome::Failed;
  };

  for (const BlockWrite& w : plan) {
    SetImageBlock(ws.image, w.address, w.zeros ? std::array<std::uint8_t, kBlockSize>{} : ImageBlock(*before, w.address));
    const BlockResult r = WriteOneBlock(link, ws, sv, w.address);
    // A zeroed block keeps the configuration's bytes in the image.
    if (w.zeros) SetImageBlock(ws.image, w.address, ImageBlock(*before, w.address));
    if (link.onBlock) link.onBlock(++done, total);
    if (r != BlockResult::Ok) return finish(r);
  }
  return finish(BlockResult::Ok);
}

WriteOutcome WriteEeprom(Link& link, Workspace& ws, Services& sv, long used) {
  return WriteBlocks(link, ws, sv, FullWritePlan(used, UsableMemorySize(ws.device).value_or(kImageSize)));
}

}  // namespace vexa::link
