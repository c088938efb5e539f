// A saved file on Linux: a replaced file keeps its mode whatever the umask,
// and a save through the user's own link replaces the file it points to.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "file/config_file.h"
#include "workspace/usage.h"
#include "support/test_folder.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

fs::path ModesFolder() {
  const fs::path dir = test::FreshTestFolder("file-modes");
  fs::create_directories(dir);
  return dir;
}

TEST(FileModes, AReplacedFileKeepsItsMode) {
  const fs::path path = ModesFolder() / "station.eep";
  std::ofstream(path) << "old";
  // A mode the umask changes: it survives only because it is set again.
  const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_write;
  const mode_t oldMask = ::umask(022);
  fs::permissions(path, mode);
  Failure failure;
  const bool saved = WriteConfigImage(path.string(), EepromImage{}, SavedFileLength(101), failure);
  ::umask(oldMask);
  ASSERT_TRUE(saved);
  EXPECT_EQ(fs::file_size(path), 100u);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, mode);
}

TEST(FileModes, SavingThroughALinkReplacesTheFileItPointsTo) {
  const fs::path dir = ModesFolder();
  std::ofstream(dir / "real.eep") << "x";
  // A chain of 40 links is followed as the kernel follows one; 41 are refused.
  fs::path link = dir / "real.eep";
  for (int n = 1; n <= 41; ++n) {
    const fs::path next = dir / ("link" + std::to_string(n) + ".eep");
    fs::create_symlink(link, next);
    link = next;
    if (n < 40) continue;
    SCOPED_TRACE(n);
    Failure failure;
    EXPECT_EQ(WriteConfigImage(link.string(), EepromImage{}, SavedFileLength(11 + n), failure), n == 40);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::file_size(dir / "real.eep"), 50u);
  }
}

}  // namespace
}  // namespace vexa
