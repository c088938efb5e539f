// Every kind of file the program writes, in the three situations that decide
// who may read it and where it lands: a new file under the usual umask, a
// link another user planted in a shared sticky folder, the user's own link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "file/backup.h"
#include "file/config_file.h"
#include "file/config_json.h"
#include "file/disk_file.h"
#include "os/posix/shared_links.h"
#include "workflows/file_workflows.h"
#include "codec/header.h"
#include "ui/fakes.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

mode_t ModeOf(const fs::path& p) {
  struct stat st {};
  EXPECT_EQ(::lstat(p.c_str(), &st), 0) << p;
  return st.st_mode & 07777;
}

// What a writer did: the file it wrote (empty when it refused) and the reason
// it gave when it refused.
struct Written {
  fs::path path;
  std::string message;
};

// The three writers of one configuration (the pumping station): the window's
// save, vexa-cli's output (of build, read and report) and a backup of a unit
// that holds it.
class WrittenFiles : public ::testing::Test {
 protected:
  struct Writer {
    const char* name;
    mode_t newMode;       // of a new file under umask 022
    bool followsOwnLink;  // replaces what the user's own link points to (a backup never replaces)
    std::function<Written(const fs::path&)> write;
  };

  void SetUp() override {
    std::string error;
    ASSERT_TRUE(ConfigFromJsonText(Slurp(fixtures / "pumping-station.dump.json"), ws.config, error)) << error;
    unit = ws;  // the unit a backup reads holds the configuration encoded
    Failure failure;
    long length = 0;
    ASSERT_TRUE(EncodeConfigForFile(unit, length, failure)) << failure.Reason();
    backupUsage = static_cast<int>(SavedFileUsage(unit.config, UsedLength(unit.image).value_or(0)));
  }

  std::vector<Writer> Writers() {
    return {
        {"the window", 0644, true,
         [&](const fs::path& path) -> Written {
           fake::FakeServices f;
           f.files.saves.push_back(path.string());
           f.messages.answers.push_back(Answer::Yes);  // overwrite
           if (SaveWorkflow(ws, f.services) == FileOutcome::Completed) return {path, {}};
           const std::string text = f.messages.shown.empty() ? "" : f.messages.shown.back().text;
           return {{}, text.substr(text.find('\n') + 1)};  // the line beneath the message
         }},
        {"vexa-cli", 0644, true,
         [&](const fs::path& path) -> Written {
           Failure f;
           long n = 0;
           if (EncodeConfigForFile(ws, n, f) && WriteConfigImage(path.string(), ws.image, n, f)) return {path, {}};
           return {{}, f.Reason()};
         }},
        {"a backup", 0600, false,
         [&](const fs::path& path) -> Written {
           Failure f;
           const auto saved =
               SaveBackup(path.parent_path().string(), path.filename().string(), unit.image, backupUsage, &f);
           return {saved ? fs::path(*saved) : fs::path(), saved ? "" : f.Reason()};
         }},
    };
  }

  const fs::path fixtures{VEXA_FIXTURES_DIR};
  const std::string golden = Slurp(fixtures / "pumping-station.eep");
  const std::string name = "2026-12-07_143012_VEXA.eep";
  Workspace ws, unit;
  int backupUsage = 0;
};

// Private backups, and no write through a link another user planted.
TEST_F(WrittenFiles, NewFilesPlantedLinksAndOwnLinks) {
  enum class Situation { NewFile, PlantedLink, OwnLink };
  const fs::path root = fs::temp_directory_path() /
                        ("vexa-written-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  struct Umask022 {
    const mode_t old = ::umask(022);
    ~Umask022() { ::umask(old); }
  } mask;
  for (const Writer& w : Writers()) {
    for (const Situation s : {Situation::NewFile, Situation::PlantedLink, Situation::OwnLink}) {
      SCOPED_TRACE(std::string(w.name) + " / situation " + std::to_string(static_cast<int>(s)));
      fs::remove_all(root);
      fs::create_directories(root);
      const fs::path victim = root / "important.txt";
      std::ofstream(victim) << "keep";

      if (s == Situation::NewFile) {
        const fs::path folder = root / "data" / "vexa-init" / "backups";
        if (w.newMode != 0600) fs::create_directories(folder);
        const Written out = w.write(folder / name);
        ASSERT_FALSE(out.path.empty()) << out.message;
        EXPECT_EQ(ModeOf(out.path), w.newMode);
        // The folders a backup makes are the user's alone too.
        if (w.newMode == 0600) {
          EXPECT_EQ(ModeOf(folder), 0700u);
          EXPECT_EQ(ModeOf(folder.parent_path()), 0700u);
        }
        continue;
      }

      const fs::path folder = root / "shared";
      fs::create_directories(folder);
      const fs::path link = folder / name;
      fs::create_symlink(victim, link);
      if (s == Situation::PlantedLink) {
        fs::permissions(folder, static_cast<fs::perms>(01777));
        // Another user's link: only root can make one here.
        if (::lchown(link.c_str(), 4242, 4242) != 0) GTEST_SKIP() << "needs root to plant another user's link";
      }
      const Written out = w.write(link);
      const bool replaces = s == Situation::OwnLink && w.followsOwnLink;
      EXPECT_EQ(Slurp(victim) == "keep", !replaces);
      EXPECT_TRUE(fs::is_symlink(link));
      if (replaces) {
        EXPECT_EQ(Slurp(victim), golden);
      } else if (w.followsOwnLink) {
        // Refused, and the reason names the link.
        EXPECT_TRUE(out.path.empty());
        EXPECT_EQ(out.message.find(link.string() + ": odkaz ve sdílené složce patří jinému uživateli"), 0u)
            << out.message;
      } else {
        // A backup never takes a name that exists: it goes beside the link.
        EXPECT_EQ(out.path, folder / "2026-12-07_143012_VEXA_2.eep");
      }
    }
  }
  fs::remove_all(root);
}

// The three writers give the same bytes; where they cannot write, each gives
// the reason.
TEST_F(WrittenFiles, EveryWriterGivesTheSameFileOrItsReason) {
  const fs::path root = fs::path(VEXA_BINARY_DIR) / "written-files-reasons";
  const fs::path blocked = root / "a-file";
  const fs::path tooLong = root / std::string(300, 'x');
  const std::string longName = std::strerror(ENAMETOOLONG);
  struct Case {
    fs::path folder;
    std::string saveReason, backupReason;  // empty: the file is written
  };
  const Case cases[] = {
      {root / "free", "", ""},
      {blocked, (blocked / name).string() + ": složka v cestě neexistuje.", blocked.string() + ": není to složka."},
      {tooLong, (tooLong / name).string() + ": nelze zjistit, co je soubor: " + longName + ".",
       tooLong.string() + ": nelze vytvořit složku: " + longName + "."},
  };
  for (const Case& c : cases) {
    for (const Writer& w : Writers()) {
      SCOPED_TRACE(c.folder.filename().string().substr(0, 10) + " / " + w.name);
      fs::remove_all(root);
      fs::create_directories(root / "free");
      std::ofstream(blocked) << "a file";
      const Written out = w.write(c.folder / name);
      EXPECT_EQ(out.message, w.followsOwnLink ? c.saveReason : c.backupReason);
      if (out.message.empty()) {
        EXPECT_EQ(Slurp(out.path), golden);
      }
      EXPECT_EQ(out.path.empty(), !out.message.empty());
    }
  }
  fs::remove_all(root);
}

// The kernel's rule, which the writes above follow.
TEST(SharedFolderLinks, FollowedAsTheKernelFollowsThem) {
  struct Case {
    mode_t folder;
    uid_t folderOwner, linkOwner, user;
    bool follows;
  };
  const Case cases[] = {
      {01777, 0, 1000, 1000, true},   // the user's own link in /tmp
      {01777, 0, 1001, 1000, false},  // another user's link in /tmp
      {01777, 0, 0, 1000, true},      // the folder owner's link
      {01777, 1001, 1001, 1000, true},
      {00777, 0, 1001, 1000, true},   // not sticky: the kernel follows it
      {01775, 0, 1001, 1000, true},   // not writable by all
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MayFollowLink(c.folder, c.folderOwner, c.linkOwner, c.user), c.follows)
        << std::oct << c.folder << std::dec << " " << c.folderOwner << " " << c.linkOwner << " " << c.user;
  }
}

}  // namespace
}  // namespace vexa
