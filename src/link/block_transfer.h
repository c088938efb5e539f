// Moving the EEPROM image between the unit and the program in blocks of 8
// bytes, with retries, optional read-back verification and Storno.
//
// A write keeps the unit's configuration header invalid until everything else
// is in place: it zeroes the front area first, then writes the text area, then
// writes the front area back, the block holding the magic word and then the
// one holding the header checksum last. The 64 bytes at 64..127 belong to the
// unit and are never written.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "codec/image.h"
#include "codec/layout.h"
#include "link/unit_session.h"
#include "platform/event_loop.h"
#include "workspace/workspace.h"

namespace vexa::link {

inline constexpr std::uint8_t kCmdReadBlock = 4;
inline constexpr std::uint8_t kCmdWriteBlock = 5;
inline constexpr std::uint8_t kReplyReadBlock = 132;
inline constexpr std::uint8_t kReplyWriteBlock = 133;

inline constexpr int kBlockSize = 8;
inline constexpr long kBodyStart = 272;  // the text area; the front area ends here
inline constexpr long kUnitOwnedStart = 64;
inline constexpr long kUnitOwnedEnd = 128;  // 64..127 are never written
// The blocks that make the header valid: the magic word and the checksum.
inline constexpr long kMagicBlock = layout::kMagicWord / kBlockSize * kBlockSize;        // 40
inline constexpr long kChecksumBlock = layout::kChecksumByte / kBlockSize * kBlockSize;  // 48

// Attempts per block and the time limit of attempt n (1-based).
inline constexpr int kReadAttempts = 12;
inline constexpr int kWriteAttempts = 10;
inline constexpr int kVerifyAttempts = 9;
constexpr int ReadTimeoutMs(int n) { return 100 * n; }          // 100..1200
constexpr int WriteTimeoutMs(int n) { return 100 * (n + 1); }   // 200..1100
constexpr int VerifyTimeoutMs(int n) { return 100 * (n + 1); }  // 200..1000
inline constexpr Ladder kReadLadder{kReadAttempts, ReadTimeoutMs(1), 100, true, false};
inline constexpr Ladder kWriteLadder{kWriteAttempts, WriteTimeoutMs(1), 100, true, false};
inline constexpr Ladder kVerifyLadder{kVerifyAttempts, VerifyTimeoutMs(1), 100, true, false};

// The 26 blocks of the front area in write order: 0..56, then 128..264.
std::vector<long> FrontAreaBlocks();
// The body blocks a write of used size U sends: 272, 280, ... up to and
// including the first block whose start is not below U (at least 272), but
// never a block starting at or beyond the usable memory size: the image ends
// at U - 2, so the block holding it is always sent.
std::vector<long> BodyBlocks(long used, long usable = kImageSize);

// Request payloads: read "4 lo hi" (5 bytes), write "5 lo hi d0..d7" (21).
// The address travels as two hexadecimal pairs, low byte first.
SerialFrame ReadBlockRequest(std::uint16_t address);
SerialFrame WriteBlockRequest(std::uint16_t address, const std::array<std::uint8_t, kBlockSize>& data);

// What a transfer tells whoever started it: the workflows show the progress
// window from it (the link knows no window). The blocks done go through the
// link's onBlock and onProgress.
class TransferObserver {
 public:
  virtual ~TransferObserver() = default;
  // The transfer begins (its cancel flag cleared, the input discarded);
  // `text` says what it does.
  virtual void Started(const char* text) = 0;
  // It ended, whatever its outcome.
  virtual void Ended() = 0;
};

// What a transfer of the image works with besides the image itself. The
// workflows take it from the session and the workspace: the usable size from
// the session, the read-back from settings.CheckWrite, and `cancel` is its
// CancelRequested, which the progress window's Storno sets.
struct Transfer {
  // The usable memory size (UnitSession::memorySize); nullopt when not known.
  std::optional<long> usable;
  // Set by Storno; cleared when the transfer starts.
  bool& cancel;
  // Read every written block back and compare it.
  bool verify = false;
};

// Begins a transfer: discards the waiting input, clears the cancel flag and
// tells the observer, with `text`.
void StartTransfer(UnitSession& link, const Transfer& transfer, TransferObserver& observer, const char* text);

// The block at `address` read into the image with the attempts and time
// limits of a whole-memory read.
bool ReadBlockWithRetries(UnitSession& link, EepromImage& image, EventLoop& loop, long address);

// Reads 0 up to the usable memory size into `image`, yielding to `loop` and
// telling `observer` of its start and end. False when a block failed all its attempts (or the size is not
// known); true when it ran to the end or was stopped by Storno (then
// `transfer.cancel` is set).
bool ReadEeprom(UnitSession& link, EepromImage& image, const Transfer& transfer, EventLoop& loop,
                TransferObserver& observer);

enum class WriteOutcome { Completed, Failed, Cancelled };

// One block of a write, in the order the blocks are sent: the image's bytes
// at `address`, or zeros where the write takes the header away first.
struct BlockWrite {
  long address = 0;
  bool zeros = false;
  bool operator==(const BlockWrite&) const = default;
};
using WritePlan = std::vector<BlockWrite>;

// The whole configuration: the front area zeroed in address order, the body
// up to the used size, then the front area back in address order except that
// the magic word's block and then the checksum's block come last, so the
// header turns valid only once every other block is in place.
WritePlan FullWritePlan(long used, long usable = kImageSize);

// Sends the blocks of `plan` from `image` (telling `observer` as ReadEeprom), each
// read back when `transfer.verify` is set, and stops at a failed block or
// Storno. An empty plan sends nothing and completes. The image is never
// changed, so after a write that did not complete a later write or file save
// still carries the same bytes; the unit keeps whatever had been written.
WriteOutcome WriteBlocks(UnitSession& link, const EepromImage& image, const Transfer& transfer, EventLoop& loop,
                         TransferObserver& observer, const WritePlan& plan);

// The full write of the image up to the used size `used` (the whole memory
// when the usable size is not known).
WriteOutcome WriteEeprom(UnitSession& link, const EepromImage& image, const Transfer& transfer, EventLoop& loop,
                         TransferObserver& observer, long used);

}  // namespace vexa::link
