#include "platform/progress.h"

#include <algorithm>
#include <cmath>

namespace vexa {
namespace {

// The first blocks are averaged; after them the newest block weighs this
// much in the smoothed time a block takes, and counts for at most so many
// times it: a block that took its retries (or a pause of the line) is one
// block among many, and a unit that has become slower still shows within a
// few blocks.
constexpr long kAveragedBlocks = 4;
constexpr double kNewestWeight = 0.2;
constexpr double kOutlierFactor = 3;

}  // namespace

void TransferPace::Report(long done, long total, std::int64_t nowMs) {
  // Fewer blocks done, or a transfer starting afresh with another total: a
  // new transfer.
  if (Running() && (done < done_ || (done == 0 && total != total_))) Reset();
  if (!Running() || startDone_ < 0) {
    startMs_ = nowMs;
    startDone_ = done;
  } else if (done > done_) {
    const double perBlock = static_cast<double>(nowMs - lastMs_) / static_cast<double>(done - done_);
    ++measured_;
    if (measured_ <= kAveragedBlocks) {
      msPerBlock_ += (perBlock - msPerBlock_) / static_cast<double>(measured_);
    } else {
      msPerBlock_ += kNewestWeight * (std::min(perBlock, kOutlierFactor * msPerBlock_) - msPerBlock_);
    }
  }
  if (total > 0) {
    if (done >= total) {
      share_ = 1;
    } else if (done > done_ || total_ == 0) {
      // The blocks done since the last report take their part of what was
      // left: for a total that stays, exactly done / total.
      const long before = total_ == 0 ? 0 : done_;
      share_ += (1 - share_) * static_cast<double>(done - before) / static_cast<double>(total - before);
    }
  }
  ++reports_;
  done_ = std::max(done, done_);
  total_ = total;
  lastMs_ = nowMs;
}

void PhasedProgress::Enter(std::size_t phase) {
  phase_ = std::min(phase, parts_.empty() ? 0 : parts_.size() - 1);
  // The phase starts where the bar is: what the phases before left unused
  // is its (no jump that would tell a false pace), what they overran is
  // taken from it.
  long end = 0;
  for (std::size_t i = 0; i <= phase_ && i < parts_.size(); ++i) end += parts_[i];
  offset_ = std::min(done_, end);
  part_ = end - offset_;
}

std::pair<long, long> PhasedProgress::Report(long done, long total) {
  const long part = phase_ == 0 && part_ < 0 ? (parts_.empty() ? 0 : parts_[0]) : part_;
  long within = 0;
  if (phase_ + 1 < parts_.size()) {
    // A phase before the last (the backup read) counts block for block,
    // whatever total it tells on the way, and never fills its part itself:
    // what it leaves goes to the next phase, with no jump that would tell a
    // false pace.
    within = std::min(done, part - 1);
  } else if (total > 0) {
    // The last phase fills what is left of the bar, in step with its blocks.
    within = part * std::min(done, total) / total;
  }
  done_ = std::max(done_, offset_ + within);
  return {done_, Total()};
}

long PhasedProgress::Total() const {
  long t = 0;
  for (long p : parts_) t += p;
  return t;
}

std::pair<long, long> SteadyTotal::Report(long done, long total) {
  if (fixed_ == 0) {
    if (total <= 0) {
      shown_ = std::max(shown_, done);
      done_ = done;
      return {shown_, 0};
    }
    fixed_ = std::max(total, shown_ + 1);
    share_ = static_cast<double>(std::min(done, total)) / static_cast<double>(total);
  } else if (total > 0 && done >= total) {
    share_ = 1;
  } else if (total > 0 && done > done_) {
    share_ += (1 - share_) * static_cast<double>(done - done_) / static_cast<double>(total - done_);
  }
  done_ = std::max(done_, done);
  // Short of the end until the transfer's blocks are all done.
  const long within = static_cast<long>(share_ * static_cast<double>(fixed_) + 1e-9);
  const long at = share_ >= 1 ? fixed_ : std::min(fixed_ - 1, within);
  shown_ = std::max(shown_, at);
  return {shown_, fixed_};
}

void TransferPace::NewPhase() {
  if (!Running()) return;
  measured_ = 0;
  msPerBlock_ = 0;
  startDone_ = -1;  // the next report starts the measurement
}

std::optional<double> TransferPace::Share() const {
  if (total_ <= 0) return std::nullopt;
  return share_;
}

std::optional<long long> TransferPace::SecondsLeft(std::int64_t nowMs) const {
  if (startDone_ < 0 || done_ - startDone_ < 2 || nowMs - startMs_ < 1000 || total_ <= 0) return std::nullopt;
  const double leftMs =
      msPerBlock_ * static_cast<double>(std::max(0L, total_ - done_)) - static_cast<double>(nowMs - lastMs_);
  return std::max(1LL, static_cast<long long>(std::ceil(leftMs / 1000)));
}

}  // namespace vexa
