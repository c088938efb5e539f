#include "link/quick_read.h"

#include <algorithm>

#include "codec/decoder.h"
#include "codec/header.h"
#include "codec/layout.h"
#include "link/block_transfer.h"
#include "platform/progress.h"
#include "workspace/usage.h"

namespace vexa::link {
namespace {

long BlocksUpTo(long end) { return (end + kBlockSize - 1) / kBlockSize; }

// Where the text area probably ends, from the header alone: just past the
// furthest block start, with room for its strings and the end marker. Only
// for the progress bar.
long GuessTextEnd(const EepromImage& image, long usable) {
  long end = kBodyStart;
  for (long slot = layout::kPointerTable; slot < layout::kConstantWord; slot += 2) {
    if (slot == layout::kReservedSlot) continue;
    const auto start = image.ReadWord(slot);
    if (start && *start < usable) end = std::max(end, static_cast<long>(*start) + kRows + 2);
  }
  return end;
}

}  // namespace

std::optional<long> QuickReadEnd(const EepromImage& image, const std::array<AnalogScale, kRows>& scales,
                                 char decimalSeparator, long readTo) {
  if (!IsImageCompleteWithin(image, readTo)) return std::nullopt;
  const auto used = UsedLength(image);
  if (!used) return std::nullopt;
  DeviceConfig config;
  // A configuration that does not decode fails the same way however much
  // more is read.
  if (!DecodeImage(image, scales, decimalSeparator, config)) return readTo;
  const long lastBlock = BodyBlocks(ComputeUsage(config)).back();
  return std::max(*used, lastBlock + kBlockSize);
}

bool QuickReadEeprom(Link& link, EepromImage& image, const Transfer& transfer,
                     const std::array<AnalogScale, kRows>& scales, char decimalSeparator, Services& sv) {
  long readTo = 0;
  return QuickReadEepromShowing(link, image, transfer, scales, decimalSeparator, sv, texts::kMsgReading, readTo);
}

bool QuickReadEepromShowing(Link& link, EepromImage& image, const Transfer& transfer,
                            const std::array<AnalogScale, kRows>& scales, char decimalSeparator, Services& sv,
                            const char* text, long& readTo) {
  const auto usable = transfer.usable;
  if (!usable) return false;
  link.lastFailure.reset();
  FlushInput(link);
  ShowProgress(transfer.cancel, sv, text, true);
  readTo = 0;
  std::optional<long> end;  // known once the configuration is all in
  long guess = kBodyStart;
  long done = 0;
  for (long a = 0;; a += kBlockSize) {
    if (!ReadBlockWithRetries(link, image, sv.loop, a)) {
      CloseProgress(sv);
      return false;
    }
    const long next = a + kBlockSize;
    readTo = next;
    bool last = next >= *usable || transfer.cancel;
    if (!last && next == kBodyStart) {
      // A unit without a valid header holds nothing to read on for.
      if (!IsImageValid(image)) last = true;
      else guess = GuessTextEnd(image, *usable);
    }
    if (!last && next >= kBodyStart) {
      if (!end) end = QuickReadEnd(image, scales, decimalSeparator, next);
      if (end && next >= *end) last = true;
    }
    ++done;
    const long target = end ? *end : std::max(guess, next + kBlockSize);
    const long planned = last ? done : std::max(done, BlocksUpTo(std::min(*usable, target)));
    if (link.onBlock) link.onBlock(done, planned);
    if (last) break;
  }
  CloseProgress(sv);
  return true;
}

}  // namespace vexa::link
