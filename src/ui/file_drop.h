// What a drag onto the main window carries that the window can load.
#pragma once

#include <QString>

class QMimeData;

namespace vexa::ui {

// The configuration file of a drag: exactly one local file named *.eep (any
// case); empty for anything else (several files, a remote address, text).
QString DroppedConfigFile(const QMimeData* data);

}  // namespace vexa::ui
