// The two commands that move a configuration between the main window and the
// unit: btEEPROMLoad reads the unit and shows what it holds, btEEPROMSave
// checks, encodes and writes the configuration. Each ends with exactly one
// message box telling the outcome. They bring together the rules, the usage,
// the encoding, the backup and the block transfer of link/.
#pragma once

#include <optional>
#include <string>

#include "link/frame.h"
#include "platform/services.h"
#include "platform/texts.h"
#include "workspace/workspace.h"

namespace vexa {

// The messages of both commands are in platform/texts.h.

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
  // Read the unit's configuration (quick read) and keep it as a file first.
  bool backup = true;
  // Where the backups go; empty: DefaultBackupDir().
  std::string backupDir;
  // Send every block of the configuration, not only those that differ from
  // what the backup read found in the unit.
  bool fullWrite = false;
};

WorkflowResult ReadWorkflow(link::Link& link, Workspace& ws, Services& sv, const ReadOptions& options = {});
// `backup`, when given, receives the backup kept (nullopt when none was).
// After a backup, the success message offers "Zobrazit změny"; showing the
// changes is the caller's. With a backup kept and no full write asked for,
// only the blocks that differ from the unit's are sent (ChangedBlocksPlan);
// otherwise the whole configuration.
WorkflowResult WriteWorkflow(link::Link& link, Workspace& ws, Services& sv, const WriteOptions& options = {},
                             std::optional<WriteBackup>* backup = nullptr);

}  // namespace vexa
