// The progress window over a transfer of the unit's memory: shown with
// Storno when the transfer starts, closed when it ends.
#pragma once

#include "link/block_transfer.h"
#include "platform/progress.h"
#include "platform/services.h"

namespace vexa {

class TransferWindow final : public link::TransferObserver {
 public:
  explicit TransferWindow(Services& sv) : sv_(sv) {}
  void Started(const char* text) override {
    sv_.progress.Show(text, true);
    sv_.loop.Yield();
  }
  void Ended() override { CloseProgress(sv_); }

 private:
  Services& sv_;
};

}  // namespace vexa
