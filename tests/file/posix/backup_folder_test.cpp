// The backup folder on Linux: where the XDG rules put it, and its rights.
#include <gtest/gtest.h>

#include <filesystem>

#include "codec/encoder.h"
#include "file/backup.h"
#include "workspace/workspace.h"
#include "support/test_folder.h"

namespace vexa::test {
namespace {

namespace fs = std::filesystem;

TEST(BackupFolder, FromTheXdgDataHomeOrHome) {
  EXPECT_EQ(DefaultBackupDir("/data", "/home/u"), "/data/vexa-init/backups");
  EXPECT_EQ(DefaultBackupDir("", "/home/u"), "/home/u/.local/share/vexa-init/backups");
  EXPECT_EQ(DefaultBackupDir("relative", "/home/u"), "/home/u/.local/share/vexa-init/backups");
  EXPECT_EQ(DefaultBackupDir(nullptr, nullptr), "");
}

// The program's own folder, left open by an earlier version, is closed by the
// next backup; a folder the user chose keeps its rights.
TEST(Backup, TheProgramsFolderIsClosedToOthers) {
  Workspace ws;
  ASSERT_TRUE(EncodeImage(ws));
  const fs::path own = DefaultBackupDir();
  ASSERT_FALSE(own.empty());
  for (const fs::path& dir : {own, FreshTestFolder("backup-test", "chosen")}) {
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms(0755));
    ASSERT_TRUE(SaveBackup(dir.string(), "2026-12-07_143012_VEXA.eep", ws.image, 450));
    EXPECT_EQ(static_cast<unsigned>(fs::status(dir).permissions()), dir == own ? 0700u : 0755u) << dir;
  }
}

}  // namespace
}  // namespace vexa::test
