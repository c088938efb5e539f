// The ".eep" file: its length, atomic replacement, reading limits, and files
// cut short at every length.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "codec/encoder.h"
#include "codec/header.h"
#include "file/config_file.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteRaw(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("vexa-config-file-" + std::to_string(rd()) + std::to_string(rd()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    return names;
  }

  fs::path dir_;
};

// What the saves write for a usage figure U: image bytes 0 to U - 2.
bool WriteForUsage(const std::string& path, const EepromImage& im, long usage) {
  Failure failure;
  return WriteConfigImage(path, im, SavedFileLength(usage), failure);
}

EepromImage Patterned() {
  EepromImage im;
  for (long o = 0; o < kImageSize; ++o) im.WriteByte(static_cast<std::uint8_t>(o * 7 + 3), o);
  return im;
}

TEST_F(ConfigFileTest, WritesImageBytesZeroToUsageLessTwo) {
  struct Case {
    int usage;
    long length;  // -1: refused
  };
  const std::vector<Case> cases = {{430, 429}, {982, 981}, {2, 1}, {1, 1}, {0, 1}, {65537, 65536}, {65538, -1}};
  const EepromImage im = Patterned();
  for (const auto& c : cases) {
    const std::string path = Path("out" + std::to_string(c.usage) + ".eep");
    ASSERT_EQ(WriteForUsage(path, im, c.usage), c.length >= 0) << c.usage;
    if (c.length < 0) {
      EXPECT_FALSE(fs::exists(path));
      continue;
    }
    const auto bytes = ReadAll(path);
    ASSERT_EQ(static_cast<long>(bytes.size()), c.length) << c.usage;
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), im.data())) << c.usage;
  }
}

TEST_F(ConfigFileTest, StartupConfigurationSavesAs429BytesHoldingTheWholeImage) {
  Workspace ws;
  const std::string path = Path("startup.eep");
  ASSERT_EQ(SaveConfigFile(path, ws), SaveResult::Saved);
  EXPECT_EQ(fs::file_size(path), 429u);
  Workspace other;
  other.image = Patterned();
  EXPECT_EQ(LoadConfigFile(path, other), LoadResult::Loaded);
  EXPECT_EQ(other.config.general.DobaPlatnostiSMS, "3");
}

TEST_F(ConfigFileTest, ReplacesAnExistingFileAndLeavesNoTemporaryBehind) {
  const std::string path = Path("station.eep");
  WriteRaw(path, {'o', 'l', 'd'});
  const EepromImage im = Patterned();
  ASSERT_TRUE(WriteForUsage(path, im, 101));
  const auto bytes = ReadAll(path);
  ASSERT_EQ(bytes.size(), 100u);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), im.data()));
  EXPECT_EQ(Entries(), std::vector<std::string>{"station.eep"});
}

TEST_F(ConfigFileTest, FailedSaveKeepsTheOldFile) {
  const std::string path = Path("station.eep");
  const std::vector<std::uint8_t> old = {1, 2, 3, 4};
  WriteRaw(path, old);
  EXPECT_FALSE(WriteForUsage(path, Patterned(), 70000));  // longer than the image
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_FALSE(WriteForUsage(Path("no-such-folder/station.eep"), Patterned(), 430));
  EXPECT_FALSE(WriteForUsage(dir_.string(), Patterned(), 430));  // a folder
  EXPECT_FALSE(WriteForUsage("", Patterned(), 430));
  // A name taken by a folder while the bytes are written: the rename fails and
  // the temporary file goes with it.
  struct TakeName : EventLoop {
    fs::path name;
    void Yield() override {
      if (fs::create_directories(name / "inside")) name.clear();
    }
  } takeName;
  takeName.name = Path("taken.eep");
  Failure failure;
  EXPECT_FALSE(WriteConfigImage(Path("taken.eep"), Patterned(), 100, failure, {.loop = &takeName}));
  fs::remove_all(Path("taken.eep"));
  EXPECT_EQ(Entries(), std::vector<std::string>{"station.eep"});
}

TEST_F(ConfigFileTest, ReadingCopiesTheFileAndKeepsTheRestOfTheImage) {
  struct Case {
    std::size_t size;
    bool ok;
  };
  const std::vector<Case> cases = {{0, true}, {10, true}, {65535, true}, {65536, true}, {65537, false}, {70000, false}};
  for (const auto& c : cases) {
    std::vector<std::uint8_t> bytes(c.size);
    for (std::size_t i = 0; i < c.size; ++i) bytes[i] = static_cast<std::uint8_t>(i % 251 + 1);
    const std::string path = Path("in.eep");
    WriteRaw(path, bytes);
    EepromImage im = Patterned();
    const EepromImage before = im;
    long length = -1;
    ASSERT_EQ(ReadConfigFile(path, im, &length), c.ok) << c.size;
    if (!c.ok) {
      EXPECT_TRUE(im == before) << "a refused file changed the image";
      continue;
    }
    EXPECT_EQ(length, static_cast<long>(c.size));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), im.data()));
    EXPECT_TRUE(std::equal(im.data() + c.size, im.data() + kImageSize, before.data() + c.size));
  }
  EepromImage im;
  EXPECT_FALSE(ReadConfigFile(Path("missing.eep"), im));
  EXPECT_FALSE(ReadConfigFile(dir_.string(), im));
  EXPECT_FALSE(ReadConfigFile("", im));
}

TEST(ConfigFileCuts, EveryCutIsRefusedOrDecoded) {
  for (const char* name : {"startup.eep", "pumping-station.eep", "over-unit-image.eep"}) {
    std::ifstream in(std::string(VEXA_FIXTURES_DIR) + "/" + name, std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(file.empty()) << name;

    Workspace full;
    ASSERT_EQ(LoadConfigBytes(file.data(), file.size(), full), LoadResult::Loaded) << name;
    const long used = *UsedLength(full.image);

    for (bool leftovers : {true, false}) {
      Workspace ws;
      if (leftovers) ws.image = full.image;  // the rest of the image is still in place
      ws.config.general.JmenoStanice = "na obrazovce";
      const DeviceConfig shown = ws.config;
      EepromImage kept = ws.image;
      for (std::size_t cut = 0; cut <= file.size(); ++cut) {
        const LoadResult r = LoadConfigBytes(file.data(), cut, ws);
        if (static_cast<long>(cut) < used) {
          ASSERT_EQ(r, LoadResult::NotValid) << name << " cut at " << cut;
          ASSERT_EQ(ws.config, shown) << name << " cut at " << cut;
          ASSERT_TRUE(ws.image == kept) << name << " cut at " << cut;  // no byte of the refused file
        } else {
          ASSERT_EQ(r, LoadResult::Loaded) << name << " cut at " << cut;
          ASSERT_EQ(ws.config, full.config) << name << " cut at " << cut;
          ws.config = shown;
          kept = ws.image;
        }
      }
    }
  }
}

}  // namespace
}  // namespace vexa
