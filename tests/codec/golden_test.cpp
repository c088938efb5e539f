// Golden files made by an independent implementation of the unit's image
// format: our encoder must produce them byte for byte and our decoder must
// read them back to the same JSON.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "codec/config_printer.h"
#include "codec/header.h"
#include "file/config_file.h"
#include "file/config_json.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

const std::string kFixtures = VEXA_FIXTURES_DIR;

std::string ReadFixture(const std::string& name) {
  std::ifstream in(kFixtures + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string TempPath(const std::string& name) {
  return std::string(VEXA_BINARY_DIR) + "/golden-" + name + "-" +
         std::to_string(::testing::UnitTest::GetInstance()->random_seed());
}

struct Golden {
  const char* name;
  const char* base;  // image the configuration is encoded over; nullptr: all zeros
};
const std::vector<Golden> kGoldens = {
    {"startup", nullptr},
    {"pumping-station", nullptr},
    {"over-unit-image", "unit-read-base.eep"},
};

TEST(Golden, EncodingEachJsonGivesItsFile) {
  for (const auto& g : kGoldens) {
    Workspace ws;
    std::string error;
    ASSERT_TRUE(ConfigFromJsonText(ReadFixture(std::string(g.name) + ".json"), ws.config, error)) << error;
    if (g.base != nullptr) {
      ASSERT_TRUE(ReadConfigFile(kFixtures + "/" + g.base, ws.image));
    }
    const std::string out = TempPath(g.name);
    ASSERT_EQ(SaveConfigFile(out, ws), SaveResult::Saved) << g.name;
    std::ifstream in(out, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::remove(out.c_str());
    const std::string expected = ReadFixture(std::string(g.name) + ".eep");
    ASSERT_EQ(written.size(), expected.size()) << g.name;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(static_cast<int>(static_cast<unsigned char>(written[i])),
                static_cast<int>(static_cast<unsigned char>(expected[i])))
          << g.name << " differs at offset " << i;
    }
  }
}

TEST(Golden, LoadingEachFileGivesItsDump) {
  for (const auto& g : kGoldens) {
    Workspace ws;
    ASSERT_EQ(LoadConfigFile(kFixtures + "/" + g.name + ".eep", ws), LoadResult::Loaded) << g.name;
    EXPECT_EQ(ConfigToJsonText(ws.config), ReadFixture(std::string(g.name) + ".dump.json")) << g.name;
  }
}

TEST(Golden, DamagedFilesAreRefused) {
  for (const char* name : {"truncated.eep", "bad-checksum.eep"}) {
    // Loaded over the full file, so a test that looked only at the header
    // would find the rest of the image in place.
    Workspace ws;
    ASSERT_EQ(LoadConfigFile(kFixtures + "/pumping-station.eep", ws), LoadResult::Loaded);
    const DeviceConfig shown = ws.config;
    ws.config.general.JmenoStanice = "na obrazovce";
    const DeviceConfig edited = ws.config;
    EXPECT_EQ(LoadConfigFile(kFixtures + "/" + name, ws), LoadResult::NotValid) << name;
    EXPECT_EQ(ws.config, edited) << name;
    EXPECT_NE(ws.config, shown);
  }
}

TEST(Golden, StartupFileIsTheStartupConfiguration) {
  // The start-up configuration saves as 429 bytes: usage 430 less one.
  const std::string file = ReadFixture("startup.eep");
  EXPECT_EQ(file.size(), 429u);
  Workspace fresh;
  Workspace ws;
  std::string error;
  ASSERT_TRUE(ConfigFromJsonText(ReadFixture("startup.json"), ws.config, error)) << error;
  EXPECT_EQ(ws.config, fresh.config);
}

}  // namespace
}  // namespace vexa
