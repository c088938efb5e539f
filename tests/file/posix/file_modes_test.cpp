// A saved file on Linux: a replaced file keeps its mode whatever the umask,
// and a save through the user's own link replaces the file it points to.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "file/config_file.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

fs::path ModesFolder() {
  const fs::path dir = fs::path(VEXA_BINARY_DIR) / "file-modes";
  fs::remove_all(dir);
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
  const bool saved = WriteConfigFile(path.string(), EepromImage{}, 101);
  ::umask(oldMask);
  ASSERT_TRUE(saved);
  EXPECT_EQ(fs::file_size(path), 100u);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, mode);
}

TEST(FileModes, SavingThroughALinkReplacesTheFileItPointsTo) {
  const fs::path dir = ModesFolder();
  std::ofstream(dir / "real.eep") << "x";
  fs::create_symlink(dir / "real.eep", dir / "link.eep");
  ASSERT_TRUE(WriteConfigFile((dir / "link.eep").string(), EepromImage{}, 11));
  EXPECT_TRUE(fs::is_symlink(dir / "link.eep"));
  EXPECT_EQ(fs::file_size(dir / "real.eep"), 10u);
}

}  // namespace
}  // namespace vexa
