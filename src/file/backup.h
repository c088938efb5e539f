// Backups of the unit's configuration, kept before every write: one ".eep"
// file per backup in a backups folder, named by date, time, product and
// station, written atomically, never over another backup, the newest 200
// kept.
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "codec/image.h"
#include "platform/failure.h"

namespace vexa {

inline constexpr int kBackupsKept = 200;

// "<data folder>/vexa-init/backups": the data folder is XDG_DATA_HOME when it
// is an absolute path, else HOME/.local/share. Empty when neither is known.
std::string DefaultBackupDir(const char* xdgDataHome, const char* home);
// The program's own backup folder on this system (platform/system.h):
// the above from the environment on Linux, "%LOCALAPPDATA%\VEXA Init\zalohy"
// on Windows.
std::string DefaultBackupDir();

// A text made safe for a file name: Czech (and other code page 1250) letters
// lose their accents, every other run of characters outside A-Z, a-z, 0-9
// becomes one "-", none at either end; at most `limit` characters.
std::string FileNameSafe(const std::string& utf8, std::size_t limit = 40);

// "2026-12-07_143012_VEXA_Cerpadlo-Lhota.eep"; a product or station that
// leaves nothing safe is left out with its "_".
std::string BackupFileName(const std::tm& when, const std::string& product, const std::string& station);

// Writes image bytes 0 to usage - 2 as `fileName` in `dir` (created when
// missing, with each folder it creates 0700). The file is the user's alone
// (0600) whatever the umask; it appears complete or not at all; when the name is taken,
// "_2", "_3", ... go before ".eep". The path written, or nullopt with the
// reason in `failure` when given (the folder cannot be made, the disk is
// full, no free name...).
std::optional<std::string> SaveBackup(const std::string& dir, const std::string& fileName, const EepromImage& image,
                                      int usage, Failure* failure = nullptr);

// Removes the oldest backups of `dir` (by the date and time in their names)
// beyond the newest `keep`; other files are left alone. The number removed.
int PruneBackups(const std::string& dir, int keep = kBackupsKept);

}  // namespace vexa
