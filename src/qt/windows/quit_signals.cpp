// Windows has no SIGTERM or SIGHUP for a window program: the end of the
// session reaches it as Qt's own close of the window, which asks about the
// unit as any close does. Nothing is ever received here.
#include "qt/quit_signals.h"

namespace vexa::qt {

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {}

QuitSignals::~QuitSignals() = default;

}  // namespace vexa::qt
