// The backup folder on Linux: where the XDG rules put it, and its rights.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

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

// The folders a backup makes are 0700 whatever the umask takes away, even
// the owner's own rights (0277): the backup then still goes in.
TEST(Backup, NewFoldersAreTheUsersAloneUnderAnyUmask) {
  Workspace ws;
  ASSERT_TRUE(EncodeImage(ws));
  for (const mode_t mask : {mode_t{022}, mode_t{077}, mode_t{0277}}) {
    SCOPED_TRACE(mask);
    const fs::path dir = FreshTestFolder("backup-test", "umask-" + std::to_string(mask)) / "a" / "b";
    const mode_t old = ::umask(mask);
    const auto saved = SaveBackup(dir.string(), "2026-12-07_143012_VEXA.eep", ws.image, 450);
    ::umask(old);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(static_cast<unsigned>(fs::status(dir).permissions()), 0700u);
    EXPECT_EQ(static_cast<unsigned>(fs::status(dir.parent_path()).permissions()), 0700u);
    EXPECT_EQ(static_cast<unsigned>(fs::status(*saved).permissions()), 0600u);
  }
}

}  // namespace
}  // namespace vexa::test
