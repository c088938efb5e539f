#include "qt/modal_pause.h"

#include <QCoreApplication>
#include <QEvent>
#include <algorithm>

namespace vexa::qt {

ModalPause::ModalPause(link::UnitClock& clock, QObject* parent) : QObject(parent), clock_(clock) {
  if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

ModalPause::~ModalPause() {
  if (paused_) clock_.Resume();
}

bool ModalPause::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if ((type == QEvent::Show || type == QEvent::Hide || type == QEvent::Destroy) && watched->isWidgetType()) {
    auto* w = static_cast<QWidget*>(watched);
    if (type == QEvent::Show && w->isWindow() && w->isModal() &&
        std::find(shown_.begin(), shown_.end(), w) == shown_.end()) {
      shown_.emplace_back(w);
    }
    if (type != QEvent::Show) {
      shown_.erase(std::remove(shown_.begin(), shown_.end(), w), shown_.end());
    }
    Update();
  }
  return QObject::eventFilter(watched, event);
}

void ModalPause::Update() {
  shown_.erase(std::remove_if(shown_.begin(), shown_.end(), [](const QPointer<QWidget>& w) { return w.isNull(); }),
               shown_.end());
  const bool pause = !shown_.empty();
  if (pause == paused_) return;
  paused_ = pause;
  if (pause) {
    clock_.Pause();
  } else {
    clock_.Resume();
  }
}

}  // namespace vexa::qt
