// Yielding to the Qt event loop during long operations, so that windows
// repaint and the Storno button responds.
#pragma once

#include "platform/services.h"

namespace vexa::qt {

class QtEventLoop : public EventLoop {
 public:
  // Handles the events that are waiting and returns; never blocks.
  void Yield() override;
};

}  // namespace vexa::qt
