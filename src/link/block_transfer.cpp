#include "link/block_transfer.h"

#include <algorithm>

#include "codec/values.h"
#include "texts/texts.h"
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

using Block = std::array<std::uint8_t, kBlockSize>;

// The block at `address` asked for on `ladder`: its bytes in `data`. A reply
// too short for its 16 data characters or with a non-hexadecimal pair is a
// failed attempt; `expected`, when given, must be what came.
ExchangeResult ReceiveBlock(UnitSession& link, EventLoop& loop, long address, const Ladder& ladder, Block& data,
                            const Block* expected = nullptr) {
  if (!IsBlockAddress(address)) return {};
  return link.Exchange(loop, ReadBlockRequest(static_cast<std::uint16_t>(address)), kReplyReadBlock, ladder,
                       [&](const SerialFrame& reply) {
                         Block got{};
                         for (int k = 1; k <= kBlockSize; ++k) {
                           const auto b = ReplyPair(reply, k);
                           if (!b) return ReplyFault::BadData;
                           got[static_cast<std::size_t>(k - 1)] = *b;
                         }
                         data = got;
                         return expected && got != *expected ? ReplyFault::Mismatch : ReplyFault::None;
                       });
}

// `data` written to the block at `address` on `ladder`.
ExchangeResult SendBlock(UnitSession& link, EventLoop& loop, long address, const Block& data, const Ladder& ladder) {
  if (!IsBlockAddress(address)) return {};
  return link.Exchange(loop, WriteBlockRequest(static_cast<std::uint16_t>(address), data), kReplyWriteBlock, ladder);
}

// A block that failed all its attempts: why, for the workflows' message.
bool Judged(UnitSession& link, long address, const ExchangeResult& r) {
  if (r.ok()) return true;
  link.SetLastFailure(Failure::Of(KindOf(r.fault), ReplyFaultCause(r.fault)).AtBlock(address, r.attempts));
  return false;
}

// Reads the block at `address` back until it holds `expected`.
bool VerifyData(UnitSession& link, EventLoop& loop, long address, const Block& expected) {
  Block read{};
  return Judged(link, address, ReceiveBlock(link, loop, address, kVerifyLadder, read, &expected));
}

}  // namespace

bool ReadBlockWithRetries(UnitSession& link, EepromImage& image, EventLoop& loop, long address) {
  Block data{};
  if (!Judged(link, address, ReceiveBlock(link, loop, address, kReadLadder, data))) return false;
  SetImageBlock(image, address, data);
  return true;
}

void StartTransfer(UnitSession& link, const Transfer& transfer, TransferObserver& observer, const char* text) {
  link.FlushInput();
  transfer.cancel = false;
  observer.Started(text);
}

bool ReadEeprom(UnitSession& link, EepromImage& image, const Transfer& transfer, EventLoop& loop,
                TransferObserver& observer) {
  const auto usable = transfer.usable;
  if (!usable) return false;
  link.SetLastFailure(std::nullopt);
  const CancelWatch watch(link, transfer.cancel);
  StartTransfer(link, transfer, observer, texts::kMsgReading);
  const long total = (*usable + kBlockSize - 1) / kBlockSize;
  long done = 0;
  // From now on a unit that says nothing shows the cable hint.
  link.ReportBlocks(done, total);
  for (long a = 0;; a += kBlockSize) {
    if (!ReadBlockWithRetries(link, image, loop, a)) {
      observer.Ended();
      return false;
    }
    link.ReportBlocks(++done, total);
    if (a + kBlockSize >= *usable || transfer.cancel) break;
  }
  observer.Ended();
  return true;
}

namespace {

enum class BlockResult { Ok, Failed, Cancelled };

// One block of any phase: its write attempts, then its read-back.
BlockResult WriteOneBlock(UnitSession& link, const Transfer& transfer, EventLoop& loop, long address,
                          const Block& data) {
  const bool written = Judged(link, address, SendBlock(link, loop, address, data, kWriteLadder));
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

WriteOutcome WriteBlocks(UnitSession& link, const EepromImage& image, const Transfer& transfer, EventLoop& loop,
                         TransferObserver& observer, const WritePlan& plan) {
  link.SetLastFailure(std::nullopt);
  if (plan.empty()) return WriteOutcome::Completed;
  const CancelWatch watch(link, transfer.cancel);
  StartTransfer(link, transfer, observer, texts::kMsgWriting);

  const long total = static_cast<long>(plan.size());
  long done = 0;
  link.ReportBlocks(done, total);
  BlockResult r = BlockResult::Ok;
  for (const BlockWrite& w : plan) {
    // A zeroed block takes the header away; the image keeps its bytes.
    r = WriteOneBlock(link, transfer, loop, w.address, w.zeros ? Block{} : ImageBlock(image, w.address));
    link.ReportBlocks(++done, total);
    if (r != BlockResult::Ok) break;
  }
  observer.Ended();
  switch (r) {
    case BlockResult::Ok: return WriteOutcome::Completed;
    case BlockResult::Failed: return WriteOutcome::Failed;
    case BlockResult::Cancelled: return WriteOutcome::Cancelled;
  }
  return WriteOutcome::Failed;
}

WriteOutcome WriteEeprom(UnitSession& link, const EepromImage& image, const Transfer& transfer, EventLoop& loop,
                         TransferObserver& observer, long used) {
  return WriteBlocks(link, image, transfer, loop, observer, FullWritePlan(used, transfer.usable.value_or(kImageSize)));
}

}  // namespace vexa::link
