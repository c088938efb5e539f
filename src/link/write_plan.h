// Which blocks a write sends when the unit's bytes are known.
//
// A write that keeps a backup first reads the unit's configuration. A block
// whose bytes the unit already holds need not be sent again: that read
// checked them just as a read-back checks a written block. So the write sends
// only the blocks that differ, and every block the read did not reach, in an
// order that keeps the header invalid from the first block sent to the last:
// the magic word's and the checksum's blocks as zeros first, then the changed
// blocks, then the magic word's block, the checksum's block last.
#pragma once

#include "codec/image.h"
#include "link/block_transfer.h"

namespace vexa::link {

// What a read of the unit gave: its bytes 0 up to `readTo` (exclusive) in
// `bytes`; the rest of `bytes` means nothing.
struct UnitBytes {
  const EepromImage& bytes;
  long readTo = 0;
};

// The blocks of the full write (FullWritePlan with `used` and `usable`) whose
// image bytes differ from the unit's or lie beyond what was read. Empty when
// nothing differs.
WritePlan ChangedBlocksPlan(const EepromImage& image, const UnitBytes& unit, long used, long usable = kImageSize);

}  // namespace vexa::link
