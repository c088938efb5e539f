// The two commands that move a configuration between the main window and the
// unit: btEEPROMLoad reads the unit and shows what it holds, btEEPROMSave
// checks, encodes and writes the configuration. Each ends with exactly one
// message box telling the outcome. They bring together the rules, the usage,
// the encoding, the backup and the block transfer of link/.
#pragma once

#include <optional>
#include <string>

#include "link/unit_session.h"
#include "platform/services.h"
#include "texts/texts.h"
#include "workspace/workspace.h"

namespace vexa {

// The messages of both commands are in texts/texts.h.

// The success message's button that shows what the write changed.
inline constexpr const char* kCaptionShowChanges = texts::kCaptionShowChanges;

// The tab of the output rows, brought to the front when an output check
// fails, and the tab a read brings to the front.
inline constexpr WindowTab kOutputsTab = WindowTab::DigVystupy;
inline constexpr WindowTab kGeneralTab = WindowTab::Vseobecne;

enum class WorkflowResult {
  Completed,      // read and shown, or written
  Refused,        // a check stopped it before any transfer
  Failed,         // a block failed
  Cancelled,      // Storno
  NotProgrammed,  // the unit holds no valid configuration
};

struct ReadOptions {
  // Every block up to the memory size rather than only the configuration's.
  bool fullRead = false;
};

// The backup kept before a write.
struct WriteBackup {
  std::string path;
  DeviceConfig config;  // what the unit held
  // The user chose "Zobrazit změny" in the success message.
  bool changesWanted = false;
};

struct WriteOptions {
  // Keep the unit's configuration as a file first: what the workspace knows
  // the unit holds (UnitSession::unitImage), else what a quick read finds.
  bool backup = true;
  // Where the backups go; empty: DefaultBackupDir().
  std::string backupDir;
  // Send every block of the configuration, not only those that differ from
  // what the unit holds.
  bool fullWrite = false;
};

WorkflowResult ReadWorkflow(link::UnitSession& link, Workspace& ws, Services& sv, const ReadOptions& options = {});
// `backup`, when given, receives the backup kept (nullopt when none was).
// After a backup, the success message offers "Zobrazit změny"; showing the
// changes is the caller's. When the unit's bytes are known (read for the
// backup, or by a read or completed write of this activation) and no full
// write is asked for, only the blocks that differ are sent
// (ChangedBlocksPlan); otherwise the whole configuration. A completed write
// leaves the session's unitImage holding what was written; a failed or stopped one
// forgets it, as does a read that does not complete.
WorkflowResult WriteWorkflow(link::UnitSession& link, Workspace& ws, Services& sv, const WriteOptions& options = {},
                             std::optional<WriteBackup>* backup = nullptr);

}  // namespace vexa
