// Showing and closing the progress window the way every operation does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/services.h"
#include "workspace/workspace.h"

namespace vexa {

// Clears `cancel` (the flag the window's Storno sets), shows the window and
// yields once so that it paints.
inline void ShowProgress(bool& cancel, Services& sv, const std::string& text, bool stornoVisible) {
  cancel = false;
  sv.progress.Show(text, stornoVisible);
  sv.loop.Yield();
}

// The same for the workspace's CancelRequested.
inline void ShowProgress(Workspace& ws, Services& sv, const std::string& text, bool stornoVisible) {
  ShowProgress(ws.CancelRequested, sv, text, stornoVisible);
}

// Hides the window and yields once; harmless when it is hidden.
inline void CloseProgress(Services& sv) {
  sv.progress.Close();
  sv.loop.Yield();
}

// How long no block may come in a transfer before the progress window hints
// at the cable, as it does while polling.
inline constexpr int kSilenceHintMs = 5000;

// What the progress window shows of a running transfer, from the blocks done
// and to do as the transfer reports them and when: a share done that never
// falls, the time left smoothed, and whether the unit has been silent long
// enough to hint at the cable.
class TransferPace {
 public:
  // `done` blocks of `total` (0 while the transfer does not know its total)
  // at `nowMs`. Fewer blocks done than before begin a new transfer.
  void Report(long done, long total, std::int64_t nowMs);
  // No transfer (the window was shown anew).
  void Reset() { *this = TransferPace{}; }
  // Another phase of the same command (a write after its backup read): the
  // share goes on, the time a block takes is measured afresh from the next
  // report, since the phase's blocks may take another time.
  void NewPhase();

  bool Running() const { return reports_ > 0; }
  long Done() const { return done_; }
  long Total() const { return total_; }
  // 0..1; nullopt while the total is not known. Each block moves it on by
  // its part of what was left, so a total that changes on the way (a read
  // that learns its end) slows or speeds it but never turns it back.
  std::optional<double> Share() const;
  // Whole seconds left at `nowMs`, at least 1 until the transfer ends;
  // nullopt until two blocks and a second have told how fast the unit
  // answers. The time a block takes is smoothed over the blocks so far and
  // counts down between them.
  std::optional<long long> SecondsLeft(std::int64_t nowMs) const;
  // True once no block has come for kSilenceHintMs.
  bool Silent(std::int64_t nowMs) const { return Running() && nowMs - lastMs_ >= kSilenceHintMs; }

 private:
  long reports_ = 0;
  long done_ = 0;
  long total_ = 0;
  double share_ = 0;
  std::int64_t startMs_ = 0;  // the first report of the transfer
  std::int64_t lastMs_ = 0;   // the last report
  long startDone_ = 0;        // blocks done at the first report
  long measured_ = 0;         // reports that measured the time a block takes
  double msPerBlock_ = 0;     // smoothed
};

// One bar for a command of several phases (a write: the backup read, then
// the blocks written and read back). The total is fixed when the command
// starts, in exchanges with the unit: each phase gets the exchanges it is
// expected to take. A phase before the last moves the bar one exchange a
// block, however its own total changes (a read that learns its end); the
// last fills what is left in step with its blocks, however few it turns out
// to need (a write of the changed blocks only). The bar only moves forward.
class PhasedProgress {
 public:
  explicit PhasedProgress(std::vector<long> parts) : parts_(std::move(parts)) {}
  // The phase that reports from now on (0-based); the phases before it count
  // as done, and it takes the bar from where it is to its own part's end.
  void Enter(std::size_t phase);
  // The phase's `done` of `total` blocks (0: not known yet) as the command's
  // blocks done and its total.
  std::pair<long, long> Report(long done, long total);
  long Total() const;

 private:
  std::vector<long> parts_;
  std::size_t phase_ = 0;
  long offset_ = 0;
  long part_ = -1;  // the running phase's share of the total (-1: the first phase's own)
  long done_ = 0;
};

// A bar whose total stays as first told while the blocks to do change under
// it (a read that learns where the configuration ends): the first total
// given is the bar's for good; each block then moves the bar on by its part
// of what was left of the total told with it, so the bar speeds up or slows
// down with what the transfer learns and reaches that first total exactly
// when the transfer's blocks are all done. The bar only moves forward.
class SteadyTotal {
 public:
  // The transfer's `done` of `total` blocks (0: not known yet) as the bar's
  // blocks done and its total; no total is given until the transfer tells one.
  std::pair<long, long> Report(long done, long total);

 private:
  long fixed_ = 0;     // the bar's total, once told
  long done_ = 0;      // the transfer's blocks at the last report
  double share_ = 0;   // of the bar, 0..1
  long shown_ = 0;     // the bar's blocks done
};

}  // namespace vexa
