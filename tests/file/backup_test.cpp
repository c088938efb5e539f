#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "codec/encoder.h"
#include "file/backup.h"
#include "file/config_file.h"
#include "workspace/workspace.h"
#include "support/test_folder.h"

namespace vexa::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A time of day as std::tm holds it (whose further fields differ between
// the C libraries).
std::tm When(int sec, int min, int hour, int mday, int mon, int year) {
  std::tm t{};
  t.tm_sec = sec;
  t.tm_min = min;
  t.tm_hour = hour;
  t.tm_mday = mday;
  t.tm_mon = mon;
  t.tm_year = year;
  return t;
}

TEST(Backup, NamesAndFolders) {
  struct Case {
    std::tm when;
    const char* product;
    std::string station;
    const char* name;
  };
  const Case cases[] = {
      {When(12, 30, 14, 7, 11, 126), "VEXA", "Čerpadlo Lhota",
       "2026-12-07_143012_VEXA_Cerpadlo-Lhota.eep"},
      {When(5, 4, 3, 2, 0, 127), "?", "", "2027-01-02_030405.eep"},
      {When(0, 0, 0, 1, 5, 126), "VEXA", " Žluťoučký kůň / ÚPĚL – ďábelské ódy ",
       "2026-06-01_000000_VEXA_Zlutoucky-kun-UPEL-dabelske-ody.eep"},
      {When(0, 0, 0, 1, 5, 126), "VEXA", "../../etc/passwd", "2026-06-01_000000_VEXA_etc-passwd.eep"},
      // An overlong "A" is a malformed sequence, not a letter.
      {When(0, 0, 0, 1, 5, 126), "VEXA", "x\xC1\x81y", "2026-06-01_000000_VEXA_x-y.eep"},
      {When(0, 0, 0, 1, 5, 126), "VEXA", std::string(60, 'x'),
       "2026-06-01_000000_VEXA_xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx.eep"},
  };
  for (const auto& c : cases) EXPECT_EQ(BackupFileName(c.when, c.product, c.station), c.name);
}

TEST(Backup, SavedWholeUnderAFreeNameOnly) {
  const fs::path dir = FreshTestFolder("backup-test", "save");
  Workspace ws;
  ws.config.general.JmenoStanice = "Lhota";
  ASSERT_TRUE(EncodeImage(ws));
  const int usage = 450;
  const auto first = std::make_unique<EepromImage>(ws.image);
  const std::string name = "2026-12-07_143012_VEXA_Lhota.eep";
  std::vector<std::string> saved;
  for (int i = 0; i < 3; ++i) {
    const auto path = SaveBackup(dir.string(), name, ws.image, usage);
    ASSERT_TRUE(path);
    saved.push_back(fs::path(*path).filename().string());
    ws.image.WriteByte(static_cast<std::uint8_t>(i), 60);  // each backup its own content
  }
  // No temporary file is left, and no backup was replaced by a later one.
  EXPECT_EQ(Names(dir), (std::vector<std::string>{name, "2026-12-07_143012_VEXA_Lhota_2.eep",
                                                  "2026-12-07_143012_VEXA_Lhota_3.eep"}));
  EXPECT_EQ(saved, Names(dir));
  Workspace loaded;
  EXPECT_EQ(LoadConfigFile((dir / name).string(), loaded), LoadResult::Loaded);
  EXPECT_EQ(loaded.config.general.JmenoStanice, "Lhota");
  std::ifstream in(dir / name, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(bytes, std::vector<std::uint8_t>(first->data(), first->data() + usage - 1));
  std::ifstream second(dir / saved[1], std::ios::binary);
  second.seekg(60);
  EXPECT_EQ(second.get(), 0);

  // A folder that cannot be made: nothing is written anywhere.
  const fs::path blocked = FreshTestFolder("backup-test", "blocked");
  fs::create_directories(blocked.parent_path());
  std::ofstream(blocked.string()) << "a file";
  EXPECT_FALSE(SaveBackup((blocked / "sub").string(), name, ws.image, usage));
}

TEST(Backup, PruningKeepsTheNewestAndForeignFiles) {
  const fs::path dir = FreshTestFolder("backup-test", "prune");
  fs::create_directories(dir);
  std::vector<std::string> backups;
  for (int day = 1; day <= 28; ++day) {
    for (int hour = 10; hour < 18; ++hour) {
      char name[64];
      // A unit that named neither product nor station gives the date and time alone.
      std::snprintf(name, sizeof name, "2026-11-%02d_%02d0000%s.eep", day, hour, hour % 2 != 0 ? "_VEXA" : "");
      backups.push_back(name);
    }
  }
  for (const auto& n : backups) std::ofstream((dir / n).string()) << n;
  for (const char* foreign : {"pumpa.eep", "2026-11-01_100000_VEXA.txt", "poznamky.txt", "2026-11-01_100000x.eep"}) {
    std::ofstream((dir / foreign).string()) << "x";
  }
  EXPECT_EQ(PruneBackups(dir.string()), static_cast<int>(backups.size()) - 200);  // the newest 200 by default
  std::vector<std::string> expected(backups.end() - 200, backups.end());
  for (const char* foreign : {"2026-11-01_100000_VEXA.txt", "2026-11-01_100000x.eep", "poznamky.txt", "pumpa.eep"}) {
    expected.push_back(foreign);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(dir), expected);
  EXPECT_EQ(PruneBackups(dir.string(), 200), 0);
}

}  // namespace
}  // namespace vexa::test
