// Reading only as much of the unit's EEPROM as its configuration takes.
//
// The front area (0..271) comes first. When its header test fails, the unit
// holds no configuration and nothing more is read. Otherwise the text area is
// read block by block from 272 until it holds every text block, the end
// marker after the general texts, and every byte that saving or writing the
// decoded configuration takes over from the image; a text area that never
// gets there is read to the end of the memory, as the full read does. So the
// decoded configuration, the image below the configuration's end and a file
// saved afterwards are those of a full read.
#pragma once

#include <array>
#include <optional>

#include "codec/image.h"
#include "link/block_transfer.h"
#include "link/frame.h"
#include "platform/event_loop.h"
#include "workspace/workspace.h"

namespace vexa::link {

// How far the unit must have been read for the image it gave so far (bytes
// 0 up to `readTo`): the end of the last block a write of the decoded
// configuration sends, or of its texts and end marker when they reach
// further. nullopt while the configuration is not yet all within `readTo`.
std::optional<long> QuickReadEnd(const EepromImage& image, const std::array<AnalogScale, kRows>& scales,
                                 char decimalSeparator, long readTo);

// How many blocks the read is expected to take, from the image read so far
// (0 up to `readTo`) in a memory of `usable` bytes: as the most it can take,
// but with each general text not yet read whole counted as an eighth of the
// longest the window lets one type, or as what has been read of it when that
// is more (the texts a unit holds are mostly far shorter than the longest).
// 0 while the header is not in or is not valid.
long QuickReadExpectedBlocks(const EepromImage& image, long readTo, long usable);

// ReadEeprom's contract (same observer, retries, Storno and result),
// reading into `image` only the blocks the configuration needs; `scales` and
// `decimalSeparator` decode it as the read goes on. The progress callback
// gets a total of 0 until the header is in; then the most the read can take
// as the header and the texts read so far tell, which only falls as the
// texts come in (unless the unit holds texts longer than the window lets one
// type), and the exact count once the configuration is all in.
bool QuickReadEeprom(UnitSession& link, EepromImage& image, const Transfer& transfer,
                     const std::array<AnalogScale, kRows>& scales, char decimalSeparator, EventLoop& loop,
                     TransferObserver& observer);
// The same, telling the observer `text` at the start; `readTo` receives the end of
// the blocks read (0 up to it).
bool QuickReadEepromShowing(UnitSession& link, EepromImage& image, const Transfer& transfer,
                            const std::array<AnalogScale, kRows>& scales, char decimalSeparator, EventLoop& loop,
                            TransferObserver& observer, const char* text, long& readTo);

}  // namespace vexa::link
