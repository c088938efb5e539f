#include "link/quick_read.h"

#include <algorithm>
#include <cstring>

#include "codec/decoder.h"
#include "codec/header.h"
#include "codec/layout.h"
#include "codec/text_field.h"
#include "link/block_transfer.h"
#include "texts/texts.h"
#include "workspace/usage.h"

namespace vexa::link {
namespace {

long BlocksUpTo(long end) { return (end + kBlockSize - 1) / kBlockSize; }

// The header's blocks: the pointer table, the magic word and the checksum.
constexpr long kHeaderEnd = kChecksumBlock + kBlockSize;

// A general text a unit holds is mostly far shorter than the window lets one
// type: the read expects this part of the longest.
constexpr long kTypicalShare = 8;

// Where the read ends, for the progress bar, once the header is in: the
// general texts are the last block, so everything before their pointer is as
// long as the pointers say. Each general text counts as long as it is where
// it has been read whole; one not yet read whole as long as the window lets
// one type it (`most`), else as a typical text, or as what has been read of
// it when that is more; then the end marker and the block a write may send
// beyond it.
long ReadEnd(const EepromImage& image, long readTo, bool most) {
  const auto start = image.ReadWord(layout::kGeneralSlot);
  if (!start) return readTo;
  long pos = *start;
  for (auto text : layout::kGeneralTexts) {
    const std::uint8_t* from = image.data() + std::min(pos, readTo);
    const auto left = static_cast<std::size_t>(image.data() + readTo - from);
    const auto* nul = static_cast<const std::uint8_t*>(std::memchr(from, 0, left));
    if (pos < readTo && nul != nullptr) {
      pos = nul - image.data() + 1;
    } else {
      const int limit = InfoOf(codec::TextFieldOf<GeneralSettings>(text, 0).field).maxLength;
      const long longest = limit > 0 ? limit : kPhoneLimit;
      pos = most ? pos + longest + 1 : std::max(pos + longest / kTypicalShare, readTo) + 1;
    }
  }
  return pos + 2 + kBlockSize;
}

}  // namespace

long QuickReadExpectedBlocks(const EepromImage& image, long readTo, long usable) {
  if (readTo < kHeaderEnd || !IsImageValid(image)) return 0;
  return BlocksUpTo(std::min(usable, std::max(ReadEnd(image, readTo, false), readTo + kBlockSize)));
}

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

bool QuickReadEeprom(UnitSession& link, EepromImage& image, const Transfer& transfer,
                     const std::array<AnalogScale, kRows>& scales, char decimalSeparator, EventLoop& loop,
                     TransferObserver& observer) {
  long readTo = 0;
  return QuickReadEepromShowing(link, image, transfer, scales, decimalSeparator, loop, observer, texts::kMsgReading,
                                readTo);
}

bool QuickReadEepromShowing(UnitSession& link, EepromImage& image, const Transfer& transfer,
                            const std::array<AnalogScale, kRows>& scales, char decimalSeparator, EventLoop& loop,
                            TransferObserver& observer, const char* text, long& readTo) {
  const auto usable = transfer.usable;
  if (!usable) return false;
  link.SetLastFailure(std::nullopt);
  const CancelWatch watch(link, transfer.cancel);
  StartTransfer(link, transfer, observer, text);
  readTo = 0;
  std::optional<long> end;  // known once the configuration is all in
  long done = 0;
  // No total yet; from now on a unit that says nothing shows the cable hint.
  link.ReportBlocks(done, 0);
  for (long a = 0;; a += kBlockSize) {
    if (!ReadBlockWithRetries(link, image, loop, a)) {
      observer.Ended();
      return false;
    }
    const long next = a + kBlockSize;
    readTo = next;
    bool last = next >= *usable || transfer.cancel;
    if (!last && next == kBodyStart) {
      // A unit without a valid header holds nothing to read on for.
      if (!IsImageValid(image)) last = true;
    }
    if (!last && next >= kBodyStart) {
      if (!end) end = QuickReadEnd(image, scales, decimalSeparator, next);
      if (end && next >= *end) last = true;
    }
    ++done;
    // No total (0) until the header tells one: a unit without a valid
    // header is read to the end of the front area only.
    long planned = 0;
    if (last) {
      planned = done;
    } else if (next >= kHeaderEnd) {
      const long target = end                   ? *end
                          : !IsImageValid(image) ? kBodyStart
                                                 : std::max(ReadEnd(image, next, true), next + kBlockSize);
      planned = std::max(done, BlocksUpTo(std::min(*usable, target)));
    }
    link.ReportBlocks(done, planned);
    if (last) break;
  }
  observer.Ended();
  return true;
}

}  // namespace vexa::link
