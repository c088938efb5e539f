#include "unit_sim/unit_simulator.h"

#include <algorithm>

#include "codec/values.h"
#include "link/block_transfer.h"
#include "link/frame.h"
#include "link/programming_mode.h"

namespace vexa::link {
namespace {

constexpr std::size_t kMaxRequestChars = 300;  // anything longer is line noise

long PhysicalSizeOf(int memoryCode) {
  if (memoryCode >= 9) return 65536;
  return 1L << (memoryCode + 7);
}

void PutHex(std::vector<std::uint8_t>& out, std::uint8_t b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out.push_back(static_cast<std::uint8_t>(kDigits[b & 0x0F]));
  out.push_back(static_cast<std::uint8_t>(kDigits[b >> 4]));
}

// Pair k (1-based) of a request payload, low digit first.
std::optional<std::uint8_t> Pair(const std::vector<std::uint8_t>& p, int k) {
  const auto low = static_cast<std::size_t>(2 * k - 1);
  if (low + 1 >= p.size()) return std::nullopt;
  return HexPairToByte(static_cast<char>(p[low + 1]), static_cast<char>(p[low]));
}

std::optional<long> AddressOf(const std::vector<std::uint8_t>& p) {
  const auto lo = Pair(p, 1);
  const auto hi = Pair(p, 2);
  if (!lo || !hi) return std::nullopt;
  return static_cast<long>(*lo) | (static_cast<long>(*hi) << 8);
}

}  // namespace

long UnitSimulator::UsableSizeOf(int memoryCode) { return PhysicalSizeOf(memoryCode) - 64; }

UnitSimulator::UnitSimulator(UnitOptions options) : options_(options), rng_(options.seed) {
  long size = options_.memoryBytes > 0 ? options_.memoryBytes : PhysicalSizeOf(options_.memoryCode);
  size = std::clamp(size, 64L, 65536L);
  memory_.assign(static_cast<std::size_t>(size), options_.erasedValue);
}

void UnitSimulator::Load(const std::vector<std::uint8_t>& bytes) {
  std::copy_n(bytes.begin(), std::min(bytes.size(), memory_.size()), memory_.begin());
}

void UnitSimulator::InjectFault(SimFault f, int count, std::uint8_t onlyCommand) {
  for (int i = 0; i < count; ++i) {
    if (f == SimFault::FlipWrittenByte) {
      ++scriptedFlips_;
    } else {
      scripted_.emplace_back(f, onlyCommand);
    }
  }
}

bool UnitSimulator::Chance(double p) {
  if (p <= 0) return false;
  // mt19937's output is fixed by the standard, so a seed replays the same faults.
  const double u = static_cast<double>(rng_() >> 8) / 16777216.0;
  return u < p;
}

std::optional<SimFault> UnitSimulator::NextReplyFault(std::uint8_t command) {
  for (auto it = scripted_.begin(); it != scripted_.end(); ++it) {
    if (it->second != 0 && it->second != command) continue;
    const SimFault f = it->first;
    scripted_.erase(it);
    return f;
  }
  if (Chance(options_.dropRate)) return SimFault::DropReply;
  if (Chance(options_.corruptRate)) return SimFault::CorruptChecksum;
  if (Chance(options_.lateRate)) return SimFault::LateReply;
  return std::nullopt;
}

void UnitSimulator::Receive(std::uint8_t c, std::int64_t nowUs) {
  rxDoneUs_ = std::max(nowUs, rxDoneUs_) + options_.charTimeUs;
  rx_.push_back(c);
  if (c != kCR) {
    if (rx_.size() > kMaxRequestChars) rx_.clear();
    return;
  }
  std::vector<std::uint8_t> frame;
  frame.swap(rx_);
  if (frame.size() < 3) return;  // no payload
  const std::size_t n = frame.size() - 2;
  if (FrameChecksum(frame.data(), n) != frame[n]) return;  // a damaged request is ignored
  frame.resize(n);
  if (options_.busy == BusyModel::Forget && rxDoneUs_ < busyUntilUs_) {
    // Not listening: the request is never seen and a write never stored.
    const bool block = frame[0] == kCmdReadBlock || frame[0] == kCmdWriteBlock;
    requests_.push_back({frame[0], block ? AddressOf(frame).value_or(-1) : -1, false});
    return;
  }
  Handle(frame, rxDoneUs_);
}

void UnitSimulator::Handle(const std::vector<std::uint8_t>& p, std::int64_t receivedUs) {
  UnitRequest request{p[0], -1, false};
  requests_.push_back(request);

  if (p[0] == kCmdPoll) {
    if (!programming_) {
      ++polls_;
      if (polls_ <= options_.pollsBeforeAnswer) return;
      programming_ = true;
    }
    Reply({kReplyPoll}, receivedUs);
    return;
  }
  if (!programming_) return;

  switch (p[0]) {
    case kCmdIdentify: {
      std::vector<std::uint8_t> r{kReplyIdentify};
      PutHex(r, static_cast<std::uint8_t>(options_.productCode & 0xFF));
      PutHex(r, static_cast<std::uint8_t>((options_.productCode >> 8) & 0xFF));
      PutHex(r, static_cast<std::uint8_t>((options_.productCode >> 16) & 0xFF));
      PutHex(r, options_.versionMinor);
      PutHex(r, options_.versionMajor);
      Reply(std::move(r), receivedUs);
      return;
    }
    case kCmdMemoryModem: {
      std::vector<std::uint8_t> r{kReplyMemoryModem};
      PutHex(r, options_.memoryCode);
      PutHex(r, options_.modemCode);
      Reply(std::move(r), receivedUs);
      return;
    }
    case kCmdReadBlock: ReadBlock(p, receivedUs); return;
    case kCmdWriteBlock: WriteBlock(p, receivedUs); return;
    case kCmdLeave:
      if (p.size() != 3 || p[1] != 170 || p[2] != 85) return;
      programming_ = false;
      polls_ = 0;
      Reply({kReplyLeave}, receivedUs);
      return;
    default: return;
  }
}

void UnitSimulator::ReadBlock(const std::vector<std::uint8_t>& p, std::int64_t receivedUs) {
  const auto address = AddressOf(p);
  if (p.size() != 5 || !address) return;
  requests_.back().address = *address;
  if (*address + kBlockSize > static_cast<long>(memory_.size())) return;
  std::vector<std::uint8_t> r{kReplyReadBlock};
  for (int i = 0; i < kBlockSize; ++i) PutHex(r, memory_[static_cast<std::size_t>(*address + i)]);
  Reply(std::move(r), receivedUs, BlockDelayUs(*address));
}

void UnitSimulator::WriteBlock(const std::vector<std::uint8_t>& p, std::int64_t receivedUs) {
  const auto address = AddressOf(p);
  if (p.size() != 21 || !address) return;
  requests_.back().address = *address;
  // The unit stores nothing beyond its usable memory.
  if (*address + kBlockSize > usableSize()) return;
  std::uint8_t data[kBlockSize];
  for (int i = 0; i < kBlockSize; ++i) {
    const auto b = Pair(p, 3 + i);
    if (!b) return;
    data[i] = *b;
  }
  bool flip = false;
  if (scriptedFlips_ > 0) {
    --scriptedFlips_;
    flip = true;
  } else {
    flip = Chance(options_.flipRate);
  }
  if (flip) data[rng_() % kBlockSize] ^= 0x10;
  std::copy(data, data + kBlockSize, memory_.begin() + *address);
  Reply({kReplyWriteBlock}, receivedUs, BlockDelayUs(*address));
}

std::int64_t UnitSimulator::Draw(std::int64_t lo, std::int64_t hi) {
  if (hi <= lo) return lo;
  const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
  const std::uint64_t draw = (static_cast<std::uint64_t>(rng_()) << 32) | rng_();
  return lo + static_cast<std::int64_t>(draw % span);
}

std::int64_t UnitSimulator::BlockDelayUs(long address) {
  if (address < options_.slowFrom || address >= options_.slowTo) return 0;
  return Draw(options_.blockDelayMinUs, options_.blockDelayMaxUs);
}

void UnitSimulator::Reply(std::vector<std::uint8_t> payload, std::int64_t receivedUs, std::int64_t extraDelayUs) {
  // The processor takes the request once it is free (a queue unit) and
  // works on it; it is busy until the reply has been sent. A late reply is
  // a request the unit takes longer over: what comes after it waits.
  const std::uint8_t command = requests_.back().code;
  const auto fault = NextReplyFault(command);
  const std::int64_t late = fault == SimFault::LateReply ? Draw(options_.lateByUs, options_.lateByMaxUs) : 0;
  if (command == kCmdPoll) extraDelayUs += options_.pollDelayUs;
  if (command == kCmdIdentify) extraDelayUs += options_.identifyDelayUs;
  if (options_.answerJitterUs > 0) extraDelayUs += Draw(0, options_.answerJitterUs);
  if (fault == SimFault::DropReply) ++faults_.dropped;
  if (fault == SimFault::CorruptChecksum) ++faults_.corrupted;
  if (fault == SimFault::LateReply) ++faults_.late;
  const std::int64_t workDone = std::max(receivedUs, busyUntilUs_) + options_.responseDelayUs + extraDelayUs + late;
  const std::int64_t replyChars = static_cast<std::int64_t>(payload.size()) + 2;
  busyUntilUs_ = std::max(workDone, txFreeUs_) + replyChars * options_.charTimeUs;
  if (fault == SimFault::DropReply) return;  // lost on the line
  requests_.back().answered = true;

  std::uint8_t checksum = FrameChecksum(payload.data(), payload.size());
  if (fault == SimFault::CorruptChecksum) {
    checksum = static_cast<std::uint8_t>(checksum + 1);
    if (checksum == kCR) checksum = static_cast<std::uint8_t>(checksum + 1);
  }
  payload.push_back(checksum);
  payload.push_back(kCR);

  const std::int64_t start = std::max(workDone, txFreeUs_);
  const std::int64_t due = start + static_cast<std::int64_t>(payload.size()) * options_.charTimeUs;
  txFreeUs_ = due;
  Pending pending{due, std::move(payload)};
  const auto at =
      std::upper_bound(tx_.begin(), tx_.end(), due, [](std::int64_t t, const Pending& q) { return t < q.dueUs; });
  tx_.insert(at, std::move(pending));
}

std::vector<std::uint8_t> UnitSimulator::TakeOutput(std::int64_t nowUs) {
  std::vector<std::uint8_t> out;
  while (!tx_.empty() && tx_.front().dueUs <= nowUs) {
    out.insert(out.end(), tx_.front().bytes.begin(), tx_.front().bytes.end());
    tx_.pop_front();
  }
  return out;
}

std::optional<std::int64_t> UnitSimulator::NextOutputUs() const {
  if (tx_.empty()) return std::nullopt;
  return tx_.front().dueUs;
}

}  // namespace vexa::link
