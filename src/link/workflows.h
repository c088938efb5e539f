// The two commands that move a configuration between the main window and the
// unit: btEEPROMLoad reads the unit and shows what it holds, btEEPROMSave
// checks, encodes and writes the configuration. Each ends with exactly one
// message box telling the outcome.
#pragma once

#include <optional>
#include <string>

#include "link/frame.h"
#include "platform/services.h"
#include "workspace/workspace.h"

namespace vexa::link {

inline constexpr const char* kMsgDecoding = "Převádím data ...";
inline constexpr const char* kMsgReadFailed =
    "Data nebyla úspěšně načtena z EEPROM. Došlo k chybě při načítání bloku dat.";
inline constexpr const char* kMsgReadCancelled = "Načtítání dat z EEPROM do PC bylo stornováno.";
inline constexpr const char* kMsgReadDone = "Data byla úspěšně načtena z EEPROM.";
inline constexpr const char* kMsgNotProgrammed =
    "Data nebyla úspěšně načtena z EEPROM. EEPROM zřejmě není naprogramována.";
// A header that passes its test over a text area that cannot be read.
inline constexpr const char* kMsgReadDamaged = "Data nebyla úspěšně načtena z EEPROM. Data v EEPROM jsou poškozena.";
inline constexpr const char* kMsgReadSizeUnknown =
    "Velikost paměti připojeného zařízení není známa. Data nelze načíst z EEPROM.";

inline constexpr const char* kMsgWriteSizeUnknown =
    "Velikost paměti připojeného zařízení není známa. Data nelze uložit do EEPROM.";
inline constexpr const char* kMsgEncodeFailed =
    "Data nebyla úspěšně uložena do EEPROM. Nastala chyba při převodu dat z formuláře nastavení.";
inline constexpr const char* kMsgWriteFailed =
    "Data nebyla úspěšně uložena do EEPROM. Došlo k chybě při ukládání bloku do EEPROM.";
inline constexpr const char* kMsgWriteCancelled = "Ukládání dat z PC do EEPROM bylo stornováno.";
inline constexpr const char* kMsgWriteDone = "Data byla úspěšně uložena do EEPROM.";
// The progress window's text while the unit's configuration is read for the
// backup.
inline constexpr const char* kMsgBackingUp = "Zálohuji nastavení zařízení ...";
// Lines beneath the write's messages: the unit already held what was to be
// written (nothing was sent), and a write that stopped after it had taken the
// header away.
inline constexpr const char* kMsgWriteUnchanged = "Zařízení již obsahovalo toto nastavení.";
inline constexpr const char* kMsgUnitLeftInvalid =
    "Zařízení nyní neobsahuje platné nastavení. Před použitím je nutné nastavení do zařízení znovu zapsat.";
// "Počet zapsaných bloků: 3 z celkových 142." (the whole configuration is
// `total` blocks).
std::string BlocksWrittenLine(long written, long total);
// Asked (Yes/No) when the unit's configuration could not be read or kept
// before a write.
inline constexpr const char* kMsgBackupFailed =
    "Zálohu nastavení zařízení se nepodařilo načíst. Pokračovat v zápisu bez zálohy?";
// The line the success message gains when a backup was kept.
std::string BackupLine(const std::string& path);
// The success message's button that shows what the write changed.
inline constexpr const char* kCaptionShowChanges = "Zobrazit změny";
// "Velikost dat v nastavení (<usage>) je větší než je možno vložit do EEPROM (<size>)."
std::string TooBigMessage(const std::string& usageText, const std::string& memorySizeText);

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

WorkflowResult ReadWorkflow(Link& link, Workspace& ws, Services& sv, const ReadOptions& options = {});
// `backup`, when given, receives the backup kept (nullopt when none was).
// After a backup, the success message offers "Zobrazit změny"; showing the
// changes is the caller's. With a backup kept and no full write asked for,
// only the blocks that differ from the unit's are sent (ChangedBlocksPlan);
// otherwise the whole configuration.
WorkflowResult WriteWorkflow(Link& link, Workspace& ws, Services& sv, const WriteOptions& options = {},
                             std::optional<WriteBackup>* backup = nullptr);

}  // namespace vexa::link
