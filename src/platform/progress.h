// Showing and closing the progress window the way every operation does.
#pragma once

#include <string>

#include "platform/services.h"
#include "workspace/workspace.h"

namespace vexa {

// Clears `cancel` (the flag the window's Storno sets), shows the window and
// yields once so that it paints.
inline void ShowProgress(bool& cancel, Services& sv, const std::string& text, bool stornoVisible) {
  cancel = false;
  sv.progress.Show(text, stornoVisible);
  sv.loop.Yield();
}

// The same for the workspace's CancelRequested.
inline void ShowProgress(Workspace& ws, Services& sv, const std::string& text, bool stornoVisible) {
  ShowProgress(ws.CancelRequested, sv, text, stornoVisible);
}

// Hides the window and yields once; harmless when it is hidden.
inline void CloseProgress(Services& sv) {
  sv.progress.Close();
  sv.loop.Yield();
}

}  // namespace vexa
