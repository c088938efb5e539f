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

// Up to `attempts` tries on the ladder of time limits `timeout`, no pause and
// no flushing between them.
//
// The replies carry no address. When an attempt fails before the unit's
// answer to it has arrived (the unit is slow, or a stray CR or other noise
// ended the attempt early), a later attempt takes that answer while the
// answers to the later attempts are still on their way; taken for the reply
// to the next request, one of them would give every following block the data
// of the one before. So after a block that needed more than one attempt the
// answers still owed are awaited and dropped (at most kLongestReplyMs after
// the last request) before the next block is sent.
//
// A unit that needed a retry is known to be slow: the first attempt of the
// following blocks starts as many steps up the ladder as it took, and steps
// down again once an answer would have fitted the lower limit, so a prompt
// unit that lost one answer is soon back at the bottom of the ladder.
template <class Attempt, class Timeout>
bool WithRetries(Link& link, EventLoop& loop, int attempts, Timeout timeout, Attempt attempt) {
  link.answersOwed = 0;
  const int raise = std::clamp(link.attemptRaise, 0, attempts - 1);
  auto limit = [&](int n) { return timeout(std::min(n + raise, attempts)); };
  for (int n = 1; n <= attempts; ++n) {
    if (n > 1) ++link.stats.retries;
    const std::int64_t sentAt = link.clock.NowMs();
    if (!attempt(limit(n))) continue;
    if (n == 1) {
      if (raise > 0 && link.clock.NowMs() - sentAt < timeout(raise)) link.attemptRaise = raise - 1;
      return true;
    }
    link.attemptRaise = std::min(raise + n - 1, attempts - 1);
    DropOwedAnswers(link, loop, link.lastRequestMs + kLongestReplyMs);
    return true;
  }
  // The operation ends here; the answers still owed are left to the release
  // (ReleaseUnit), the next thing sent.
  return false;
}

}  // namespace

bool ReadBlock(Link& link, Workspace& ws, EventLoop& loop, long address, int timeoutMs) {
  if (!IsBlockAddress(address)) return false;
  SerialFrame reply;
  if (!Exchange(link, loop, ReadBlockRequest(static_cast<std::uint16_t>(address)), timeoutMs, kReplyReadBlock, reply)) {
    return false;
  }
  std::array<std::uint8_t, kBlockSize> data{};
  for (int k = 1; k <= kBlockSize; ++k) {
    const auto b = ReplyPair(reply, k);
    if (!b) return false;
    data[static_cast<std::size_t>(k - 1)] = *b;
  }
  SetImageBlock(ws.image, address, data);
  return true;
}

bool WriteBlock(Link& link, Workspace& ws, EventLoop& loop, long address, int timeoutMs) {
  if (!IsBlockAddress(address)) return false;
  SerialFrame reply;
  return Exchange(link, loop, WriteBlockRequest(static_cast<std::uint16_t>(address), ImageBlock(ws.image, address)),
                  timeoutMs, kReplyWriteBlock, reply);
}

bool VerifyBlock(Link& link, Workspace& ws, EventLoop& loop, long address) {
  const auto expected = ImageBlock(ws.image, address);
  return WithRetries(link, loop, kVerifyAttempts, VerifyTimeoutMs, [&](int timeoutMs) {
    return ReadBlock(link, ws, loop, address, timeoutMs) && ImageBlock(ws.image, address) == expected;
  });
}

bool ReadBlockWithRetries(Link& link, Workspace& ws, EventLoop& loop, long address) {
  return WithRetries(link, loop, kReadAttempts, ReadTimeoutMs,
                     [&](int timeoutMs) { return ReadBlock(link, ws, loop, address, timeoutMs); });
}

bool ReadEeprom(Link& link, Workspace& ws, Services& sv) {
  const auto usable = UsableMemorySize(ws.device);
  if (!usable) return false;
  FlushInput(link);
  ShowProgress(ws, sv, kMsgReading, true);
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
  ShowProgress(ws, sv, kMsgWriting, true);

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
