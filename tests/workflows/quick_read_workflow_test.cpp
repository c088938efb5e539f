#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <cmath>
#include <random>

#include "codec/encoder.h"
#include "codec/header.h"
#include "file/config_file.h"
#include "link/block_transfer.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "link/quick_read.h"
#include "support/link_rig.h"
#include "workflows/unit_workflows.h"

namespace vexa::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> FileBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A pattern where the unit keeps no configuration, and another in the
// program's image before the read: bytes neither read may hide.
void Fill(std::uint8_t* p, std::size_t n, int mul, int add) {
  for (std::size_t i = 0; i < n; ++i) p[i] = static_cast<std::uint8_t>(i * mul + add);
}

// Everything a read leaves behind that the user or a later save can see.
struct ReadResult {
  WorkflowResult result;
  std::vector<std::string> messages;
  DeviceConfig config;
  std::unique_ptr<EepromImage> image;
  std::vector<std::uint8_t> saved;  // the file saved right after a completed read
  long blocksRead = 0;
  std::pair<long, long> lastProgress{0, 0};
  bool progressBehind = false;  // a planned total below the blocks done
  bool totalEarly = false;      // a total before the header was in
  bool totalGrew = false;       // a total above one given before
  // What the progress window is shown: its blocks done and total per block
  // read.
  std::vector<std::pair<long, long>> shown;
};

// The worst error of the time left the bar tells after the first tenth of
// the read, at the pace of the blocks so far, against the blocks really
// left (0.3 is 30 %), while at least `left` of the read is left: towards
// the end a block more or less is a large share of what is left.
double WorstTimeLeftError(const ReadResult& r, double left) {
  const long n = r.blocksRead;
  double worst = 0;
  for (std::size_t i = 1; i < r.shown.size(); ++i) {
    const long d = static_cast<long>(i);  // the first report is of no block
    const auto [bar, total] = r.shown[i];
    if (d * 10 < n || static_cast<double>(n - d) < left * static_cast<double>(n) || total == 0 || bar == 0) continue;
    const double told = static_cast<double>(total - bar) * static_cast<double>(d) / static_cast<double>(bar);
    worst = std::max(worst, std::abs(told - static_cast<double>(n - d)) / static_cast<double>(n - d));
  }
  return worst;
}

ReadResult ReadUnit(const std::vector<std::uint8_t>& unit, std::uint8_t memoryCode, bool full,
                    const std::vector<std::uint8_t>& programImage = {}) {
  std::vector<std::uint8_t> memory(65536);
  Fill(memory.data(), memory.size(), 37, 11);
  std::copy_n(unit.begin(), std::min(unit.size(), memory.size()), memory.begin());
  ActiveUnit rig({.memoryCode = memoryCode}, memory);
  Fill(rig.ws.image.data(), kImageSize, 13, 5);
  std::copy(programImage.begin(), programImage.end(), rig.ws.image.data());
  ReadResult r;
  rig.link.SetOnBlock([&r](long done, long total) {
    // The header is in once its first 7 blocks are (0..55).
    if (done < 7) {
      r.totalEarly |= total != 0;
    } else {
      r.progressBehind |= total < done;
      r.totalGrew |= r.lastProgress.second != 0 && total > r.lastProgress.second;
    }
    r.lastProgress = {done, total};
  });
  rig.link.SetOnProgress([&r](long done, long total) { r.shown.emplace_back(done, total); });
  r.result = ReadWorkflow(rig.link, rig.ws, rig.sv, {.fullRead = full});
  r.messages = rig.messages.texts();
  r.config = rig.ws.config;
  r.blocksRead = rig.Count(link::kCmdReadBlock);
  r.image = std::make_unique<EepromImage>(rig.ws.image);
  if (r.result == WorkflowResult::Completed) {
    const fs::path file = fs::path(VEXA_BINARY_DIR) / (full ? "quick-read-full.eep" : "quick-read-quick.eep");
    EXPECT_EQ(SaveConfigFile(file.string(), rig.ws), SaveResult::Saved);
    r.saved = FileBytes(file);
  }
  return r;
}

// The texts a user could type, and phone numbers; flags at random.
std::vector<std::uint8_t> RandomConfigurationImage(std::mt19937& rng) {
  Workspace ws;
  ProgramSettings settings;
  auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  for (int f = 0; f < kFieldCount; ++f) {
    const FieldInfo& info = InfoOf(static_cast<Field>(f));
    if (info.family == Family::Program) continue;
    for (int row = 0; row < (info.family == Family::General ? 1 : kRows); ++row) {
      const FieldRef ref{info.field, row};
      if (bool* flag = FlagOf(ws.config, settings, ref)) *flag = pick(2) == 1;
      std::string* text = TextOf(ws.config, settings, ref);
      if (!text || !info.counted) continue;
      text->clear();
      const int length = pick(3) == 0 ? 0 : pick(info.field == Field::PIN ? 8 : 24);
      if (info.field == Field::TC) {
        if (length > 0) *text = "+" + std::to_string(100000 + pick(900000)) + std::to_string(pick(100000));
      } else {
        for (int i = 0; i < length; ++i) text->push_back(static_cast<char>('0' + pick(75)));
      }
    }
  }
  Fill(ws.image.data(), kImageSize, 29, 3);
  EXPECT_TRUE(EncodeImage(ws));
  return {ws.image.data(), ws.image.data() + 8128};
}

TEST(QuickRead, GivesWhatTheFullReadGivesWithFewerBlocks) {
  struct Case {
    std::string name;
    std::vector<std::uint8_t> unit;
    std::uint8_t memoryCode = 6;
    bool longTexts = false;  // longer than the window lets one type: the total may grow, as without an end
    std::vector<std::uint8_t> programImage = {};  // what the program's image holds before the read
  };
  std::vector<Case> cases;
  for (const auto& e : fs::directory_iterator(VEXA_FIXTURES_DIR)) {
    if (e.path().extension() == ".eep") cases.push_back({e.path().filename().string(), FileBytes(e.path())});
  }
  std::mt19937 rng(12);
  for (int i = 0; i < 6; ++i) cases.push_back({"random " + std::to_string(i), RandomConfigurationImage(rng)});
  {
    // The end marker's place holds something else: nothing ends the text area.
    auto unit = FileBytes(fs::path(VEXA_FIXTURES_DIR) / "pumping-station.eep");
    Workspace ws;
    ASSERT_TRUE(CopyBytesToImage(unit.data(), unit.size(), ws.image));
    const long marker = *UsedLength(ws.image) - 2;
    unit[static_cast<std::size_t>(marker)] = 0x41;
    cases.push_back({"no end marker", unit});
  }
  {
    // A 448-byte memory whose last two bytes are the end marker.
    Workspace ws;
    ASSERT_TRUE(EncodeImage(ws));
    ws.config.general.JmenoStanice.assign(static_cast<std::size_t>(448 - *UsedLength(ws.image)), 'x');
    ASSERT_TRUE(EncodeImage(ws));
    ASSERT_EQ(UsedLength(ws.image), 448);
    cases.push_back({"memory ends right after the end marker", {ws.image.data(), ws.image.data() + 448}, 2, true});
  }
  cases.push_back({"never programmed", std::vector<std::uint8_t>(8192, 0xFF)});
  {
    // The program's image holds a short station name, the unit a long one:
    // the read ends where the unit's configuration ends, not the program's.
    Workspace unit, program;
    unit.config.general.JmenoStanice.assign(40, 'u');
    program.config.general.JmenoStanice = "p";
    ASSERT_TRUE(EncodeImage(unit));
    ASSERT_TRUE(EncodeImage(program));
    cases.push_back({"a long station name over a short one", {unit.image.data(), unit.image.data() + 8128}, 6, false,
                     {program.image.data(), program.image.data() + kImageSize}});
  }

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadResult full = ReadUnit(c.unit, c.memoryCode, true, c.programImage);
    const ReadResult quick = ReadUnit(c.unit, c.memoryCode, false, c.programImage);
    EXPECT_EQ(quick.result, full.result);
    EXPECT_EQ(quick.messages, full.messages);
    EXPECT_TRUE(quick.config == full.config);
    EXPECT_EQ(quick.saved, full.saved);
    // Without a header there is no configuration: only the front area counts.
    const auto unitImage = std::make_unique<EepromImage>();
    Fill(unitImage->data(), kImageSize, 37, 11);
    std::copy(c.unit.begin(), c.unit.end(), unitImage->data());
    const bool header = IsImageValid(*unitImage);
    const long end = header ? UsedLength(*unitImage).value_or(link::kBodyStart) : link::kBodyStart;
    EXPECT_TRUE(std::equal(full.image->data(), full.image->data() + end, quick.image->data()));
    EXPECT_EQ(quick.lastProgress, std::make_pair(quick.blocksRead, quick.blocksRead));
    EXPECT_FALSE(quick.progressBehind);
    EXPECT_FALSE(quick.totalEarly);
    if (!c.longTexts && (!header || UsedLength(*unitImage))) {
      EXPECT_FALSE(quick.totalGrew);
    }
    // The window: a total that never changes once told, blocks that never
    // fall, the end of the bar with the last block, and a time left close
    // to the real one.
    ASSERT_EQ(quick.shown.size(), static_cast<std::size_t>(quick.blocksRead) + 1);
    long shownTotal = 0;
    for (std::size_t i = 1; i < quick.shown.size(); ++i) {
      const auto [bar, total] = quick.shown[i];
      if (shownTotal == 0) shownTotal = total;
      EXPECT_TRUE(total == shownTotal) << "block " << i << ": " << total << " after " << shownTotal;
      EXPECT_GE(bar, quick.shown[i - 1].first) << "block " << i;
    }
    EXPECT_EQ(quick.shown.back(), std::make_pair(shownTotal, shownTotal));
    // A unit's texts are what it is: their lengths are guessed until they
    // are read, so the time left is held to the real one only while half
    // the read is left (measured: 0-8 % for typical texts, 17 % for a long
    // station name, 36 % for a unit with no general texts at all).
    if (header && UsedLength(*unitImage)) {
      EXPECT_LE(WorstTimeLeftError(quick, 0.5), 0.4);
    }
    long expected = full.blocksRead;  // no end marker: on to the memory's end
    if (!header) expected = 34;       // the front area only
    if (header && UsedLength(*unitImage) && c.memoryCode == 6) expected = full.blocksRead / 4;
    // The named units' own counts: up to the last block a write of their
    // configuration sends.
    const std::map<std::string, long> exact{{"pumping-station.eep", 124},
                                            {"over-unit-image.eep", 124},
                                            {"startup.eep", 55},
                                            {"a long station name over a short one", 60}};
    if (const auto it = exact.find(c.name); it != exact.end()) {
      EXPECT_EQ(quick.blocksRead, it->second);
    } else if (expected == full.blocksRead / 4) {
      EXPECT_LT(quick.blocksRead, expected);
    } else {
      EXPECT_EQ(quick.blocksRead, expected);
    }
  }
}

TEST(QuickRead, StornoStopsItAfterTheRunningBlock) {
  const auto unit = FileBytes(fs::path(VEXA_FIXTURES_DIR) / "pumping-station.eep");
  ActiveUnit rig({}, unit);
  rig.link.SetOnBlock([&rig](long done, long) {
    if (done == 5) rig.progress.ClickStorno();
  });
  EXPECT_EQ(ReadWorkflow(rig.link, rig.ws, rig.sv), WorkflowResult::Cancelled);
  // The block that was running when Storno came is the last.
  EXPECT_EQ(rig.Count(link::kCmdReadBlock), 6);
}

}  // namespace
}  // namespace vexa::test
