#include "qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace vexa::qt {

void QtEventLoop::Yield() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace vexa::qt
