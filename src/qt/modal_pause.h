// Stands the link's clock while any modal window of the program is on screen
// (a question, a file dialog, an editor): the program is then waiting for its
// user, not for the unit, and the unit must not be timed by that wait.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

#include "link/serial_port.h"

namespace vexa::qt {

class ModalPause : public QObject {
 public:
  // Watches every window of the application (an event filter on it) and
  // pauses `clock` while a modal one is shown.
  ModalPause(link::UnitClock& clock, QObject* parent);
  ~ModalPause() override;

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Drops windows that were destroyed, and pauses or resumes the clock for
  // those that remain.
  void Update();

  link::UnitClock& clock_;
  std::vector<QPointer<QWidget>> shown_;
  bool paused_ = false;
};

}  // namespace vexa::qt
