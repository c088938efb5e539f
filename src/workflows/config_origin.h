// Where the configuration in the window came from, and whether it has been
// edited since: the file a save proposes, the question before edits would be
// lost, and the question before a running write is stopped. The window keeps
// one ConfigOrigin and tells it what happened; the decisions are made here.
#pragma once

#include <optional>
#include <string>

#include "file/backup.h"
#include "platform/services.h"
#include "workflows/file_workflows.h"
#include "workspace/workspace.h"

namespace vexa {

struct ConfigOrigin {
  // The file the configuration was last loaded from or saved to (the path
  // the dialog returned); empty at the start and after a read from a unit.
  std::string file;
  // The configuration as the unit would hold it when it was last loaded,
  // saved, read or written (at the start: the start-up configuration): what
  // the title names (the file, or the unit).
  DeviceConfig kept;
  // The title names no file and a write that did not complete took the
  // configuration out of the unit: it is kept nowhere.
  bool keptLost = false;
  // What the unit holds after the last completed read or write; nothing
  // after a write that did not complete.
  std::optional<DeviceConfig> unit;
};

// The configuration now in the workspace is what a file or the unit holds:
// later edits are measured from it. `file` as above.
void NoteKept(ConfigOrigin& origin, const Workspace& ws);
void NoteFile(ConfigOrigin& origin, const Workspace& ws, const std::string& path);
void NoteReadFromUnit(ConfigOrigin& origin, const Workspace& ws);
// A completed write: the unit holds the configuration; the file the title
// names (if any) still holds what it held.
void NoteWrittenToUnit(ConfigOrigin& origin, const Workspace& ws);
// A write that failed or was stopped once it had begun to send: the unit
// holds no configuration.
void NoteWriteFailed(ConfigOrigin& origin);

// The title's "*": the configuration differs from what the title names (the
// file, or the unit it was read from), compared as the unit would hold both
// (a number's notation or a text the encoder drops is no change), or that
// is lost.
bool HasUnsavedEdits(const ConfigOrigin& origin, const Workspace& ws);
// Whether the configuration is held neither by the file the title names nor
// by the unit (a completed read or write of this very configuration): then
// leaving it asks first.
bool HeldNowhere(const ConfigOrigin& origin, const Workspace& ws);

// The name, without folder and extension, a new file of this configuration
// gets: the name of its own file, else its station name (characters a file
// name cannot hold made "_"), else texts::kUnnamedConfig. A backup loaded
// from the program's backup folder `backupDir` is no file of its own: it
// gets a new name, never the backup's.
std::string ProposedBaseName(const ConfigOrigin& origin, const DeviceConfig& config,
                             const std::string& backupDir = DefaultBackupDir());

// What the save dialog starts from: the configuration's own file, else
// ProposedBaseName + ".eep" (a bare name: the dialog puts it into the folder
// last saved to). A compared file, a cancelled dialog or another unit's file
// never becomes the proposal.
std::string SaveProposal(const ConfigOrigin& origin, const DeviceConfig& config,
                         const std::string& backupDir = DefaultBackupDir());

// The save command: the dialog starts from SaveProposal; once saved the file
// is the configuration's own.
FileOutcome SaveConfigAs(Workspace& ws, Services& sv, ConfigOrigin& origin);

// The load command: through the open dialog (`path` null) or of a file
// chosen elsewhere. Loaded, the file is the configuration's own. It does not
// ask about unsaved edits; the caller asks first (MayLeaveEdits).
FileOutcome OpenConfig(Workspace& ws, Services& sv, ConfigOrigin& origin, const std::string* path = nullptr);

// Asked before the configuration is replaced or the program ends: with
// unsaved edits, "Nastavení bylo změněno. Chcete změny uložit do souboru?"
// with Ano / Ne / Storno. Ano saves (SaveConfigAs) and goes on only when the
// file was written; Ne goes on; Storno stays. True: go on.
bool MayLeaveEdits(Workspace& ws, Services& sv, ConfigOrigin& origin);

// Asked when Storno, "Ukončit" or closing the window would stop a write;
// Enter answers No. True: stop the write.
// `sending`: the write has begun to send (Workspace::writeSending); before,
// the question says that nothing has been written yet.
bool ConfirmStopWrite(MessageBox& messages, bool sending = true);

}  // namespace vexa
