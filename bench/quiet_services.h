// Platform services for the link benchmarks: no messages, no progress
// window, and the Qt event loop between steps.
#pragma once

#include <QCoreApplication>
#include <string>

#include "platform/progress.h"
#include "platform/services.h"

namespace vexa::bench {

class Quiet : public MessageBox {
 public:
  Answer Show(Icon, const std::string&, Buttons b) override { return b == Buttons::Ok ? Answer::Ok : Answer::Yes; }
};
class NoProgress : public ProgressWindow {
 public:
  void Show(const std::string&, bool) override {}
  void SetText(const std::string&) override {}
  void Close() override {}
};
class QtLoop : public EventLoop {
 public:
  void Yield() override { QCoreApplication::processEvents(); }
};

}  // namespace vexa::bench
