// Whole files on Windows: what a save and a read refuse (device names, a
// folder, a read-only file, a file another program holds open), with the
// same words as on Linux where the cause is the same, and UTF-8 names
// through the wide API.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "file/backup.h"
#include "file/disk_file.h"
#include "platform/system.h"
#include "os/windows/win.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using platform::PathFromUtf8;
using platform::Utf8Of;

std::string WinSlurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> WinEntries(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(Utf8Of(e.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

class WindowsFiles : public ::testing::Test {
 public:
  void SetUp() override {
    dir = PathFromUtf8(std::string(VEXA_BINARY_DIR) + "/windows-files");
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    SetFileAttributesW(target().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(dir);
  }
  fs::path target() const { return dir / PathFromUtf8("Čerpadlo – Lhota.eep"); }
  bool Save(const fs::path& path, const std::string& bytes, Failure& failure) {
    return WriteFileAtomically(Utf8Of(path), reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                               failure);
  }
  fs::path dir;
};

// A UTF-8 name is the file's name on the disk; a save replaces it whole and
// leaves nothing beside it.
TEST_F(WindowsFiles, Utf8NamesAndReplacement) {
  Failure failure;
  for (const std::string content : {"first", "second, longer"}) {
    ASSERT_TRUE(Save(target(), content, failure)) << failure.Reason();
    EXPECT_EQ(WinSlurp(target()), content);
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadRegularFile(Utf8Of(target()), 100, back, failure)) << failure.Reason();
    EXPECT_EQ(std::string(back.begin(), back.end()), content);
  }
  EXPECT_EQ(WinEntries(dir), std::vector<std::string>{"Čerpadlo – Lhota.eep"});
}

// What is not a regular file, or may not be replaced now: refused before
// anything is written, the old file kept, no temporary file left.
TEST_F(WindowsFiles, RefusalsKeepTheOldFile) {
  struct Case {
    const char* name;
    std::function<fs::path(WindowsFiles&)> arrange;  // the path to save to
    std::string cause;                                // after "<path>: "
    bool readRefused;                                 // a read of the path is refused too
  };
  const Case cases[] = {
      {"NUL", [](WindowsFiles& t) { return t.dir / "NUL"; }, "je to zařízení, ne soubor", true},
      {"nul.eep", [](WindowsFiles& t) { return t.dir / "nul.eep"; }, "je to zařízení, ne soubor", true},
      {"COM1", [](WindowsFiles& t) { return t.dir / "COM1"; }, "je to zařízení, ne soubor", true},
      {"lpt3.txt", [](WindowsFiles&) { return fs::path("lpt3.txt"); }, "je to zařízení, ne soubor", true},
      {"\\\\.\\COM1", [](WindowsFiles&) { return fs::path("\\\\.\\COM1"); }, "je to zařízení, ne soubor", true},
      {"a folder",
       [](WindowsFiles& t) {
         fs::create_directories(t.dir / "sub");
         return t.dir / "sub";
       },
       "je to složka, ne soubor", true},
      {"read-only",
       [](WindowsFiles& t) {
         SetFileAttributesW(t.target().c_str(), FILE_ATTRIBUTE_READONLY);
         return t.target();
       },
       "soubor je jen pro čtení", false},
      {"held open", [](WindowsFiles& t) { return t.target(); }, "soubor má otevřený jiný program", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetFileAttributesW(target().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream(target(), std::ios::binary) << "old";
    const fs::path path = c.arrange(*this);
    // Another program has the file open without sharing it.
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (std::string(c.name) == "held open") {
      holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    }
    Failure failure;
    EXPECT_FALSE(Save(path, "new", failure));
    EXPECT_EQ(failure.Reason(), Utf8Of(path) + ": " + c.cause + ".");
    // A file that is only held or read-only now is still one a save may aim at.
    EXPECT_EQ(MayReplace(Utf8Of(path), failure), !c.readRefused);
    std::vector<std::uint8_t> bytes;
    if (c.readRefused) {
      EXPECT_FALSE(ReadRegularFile(Utf8Of(path), 100, bytes, failure));
      EXPECT_EQ(failure.Reason(), Utf8Of(path) + ": " + c.cause + ".");
    }
    if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
    EXPECT_EQ(WinSlurp(target()), "old");
    fs::remove_all(dir / "sub");
    EXPECT_EQ(WinEntries(dir), std::vector<std::string>{"Čerpadlo – Lhota.eep"});
  }
}

// Backups go to the user's local application data; the folders a backup
// needs are made there.
TEST(WindowsBackups, UnderLocalAppData) {
  const fs::path local = PathFromUtf8(std::string(VEXA_BINARY_DIR) + "/test-data-home");
  ASSERT_EQ(DefaultBackupDir(), Utf8Of(local / "VEXA Init" / "zalohy"));
  Failure failure;
  const fs::path deep = local / PathFromUtf8("zkouška") / "a" / "b";
  fs::remove_all(local / PathFromUtf8("zkouška"));
  ASSERT_TRUE(CreatePrivateFolders(Utf8Of(deep), failure)) << failure.Reason();
  EXPECT_TRUE(fs::is_directory(deep));
  std::ofstream(deep / "file") << "x";
  EXPECT_FALSE(CreatePrivateFolders(Utf8Of(deep / "file" / "c"), failure));
  // The folders are named as the system writes them.
  EXPECT_EQ(failure.Reason(), Utf8Of((deep / "file").make_preferred()) + ": není to složka.");
  fs::remove_all(local / PathFromUtf8("zkouška"));
}

}  // namespace
}  // namespace vexa
