// The two file commands of the main window: save the configuration to a
// ".eep" file and load one, with their dialogs, progress texts and messages.
// They talk to the user only through the platform services, so tests script
// the dialogs and message boxes.
#pragma once

#include "platform/services.h"
#include "workspace/workspace.h"

namespace vexa {

enum class FileOutcome {
  Cancelled,     // the dialog was cancelled: nothing happened
  Completed,     // saved, or loaded and shown
  Declined,      // the user would not overwrite an existing file
  EncodeFailed,  // "Nastala chyba při převodu dat."
  WriteFailed,   // the save error message
  ReadFailed,    // the load error message
  NotValid,      // the "nejsou v pořádku" message; the configuration is unchanged
};

// Asks for a file name, encodes the configuration into the image and writes
// the image's first U - 1 bytes (U = the usage figure). An existing file is
// replaced only after the user agreed, and atomically, so a failed save
// leaves it as it was.
FileOutcome SaveWorkflow(Workspace& ws, Services& sv);

// Asks for a file, reads it into the image, tests it and decodes it. Only a
// file that passes the header test and holds the whole image up to its end
// marker replaces the configuration; then tab 0 comes to the front and the
// view shows every field again.
FileOutcome LoadWorkflow(Workspace& ws, Services& sv);

// The same load for a file chosen elsewhere (named on the command line, by
// the desktop): everything after the dialog, with the same messages.
FileOutcome LoadWorkflow(Workspace& ws, Services& sv, const std::string& path);

}  // namespace vexa
