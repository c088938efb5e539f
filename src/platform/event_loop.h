// The one seam a long operation needs of the program's event loop.
#pragma once

namespace vexa {

// Lets windows repaint and buttons respond during long operations.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  virtual void Yield() = 0;
};

}  // namespace vexa
