#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <cmath>
#include <functional>
#include <iterator>

#include "codec/encoder.h"
#include "file/backup.h"
#include "file/config_file.h"
#include "link/block_transfer.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "platform/progress.h"
#include "support/link_rig.h"
#include "support/test_folder.h"
#include "workflows/unit_workflows.h"

namespace vexa::test {
namespace {

namespace fs = std::filesystem;

TEST(WriteBackup, KeptBeforeTheWriteOrAskedFor) {
  Workspace pumping = FixtureWorkspace("pumping-station.eep");
  ASSERT_TRUE(EncodeImage(pumping));
  const std::vector<std::uint8_t> programmed(pumping.image.data(), pumping.image.data() + 2048);
  const std::string station = "Cerpaci-stanice-Horni-Lhota-vrt-2.eep";
  const fs::path dir = fs::path(VEXA_BINARY_DIR) / "write-backup-test";
  // Why there is no backup, beneath the question.
  const std::string kBlockZeroUnanswered =
      Failure::Of(FailureKind::Device, link::ReplyFaultCause(link::ReplyFault::NoReply)).AtBlock(0, link::kReadAttempts).Reason();

  struct Case {
    const char* name;
    bool programmed;  // the unit holds the pumping-station configuration
    std::function<void(LinkRig&)> arrange;
    std::deque<Answer> answers;
    WorkflowResult result;
    bool backupKept;
    bool written;
    std::vector<std::string> messages;  // "" stands for the success message with the backup line
    bool blockedFolder = false;         // the backup folder's place is taken by a file
    int oldBackups = 0;                 // backups of earlier writes in the folder
  };
  const Case cases[] = {
      {"programmed unit", true, nullptr, {}, WorkflowResult::Completed, true, true, {""}},
      {"unit not programmed",
       false,
       nullptr,
       {},
       WorkflowResult::Completed,
       false,
       true,
       {std::string(texts::kMsgWriteDone) + "\n" + texts::kMsgNoBackupNeeded}},
      // A unit that could not be read failed (the command line's exit 1).
      {"backup read fails, write stopped",
       true,
       [](LinkRig& r) { r.sim.InjectFault(link::SimFault::DropReply, link::kReadAttempts, link::kCmdReadBlock); },
       {Answer::No},
       WorkflowResult::Failed,
       false,
       false,
       {WithReason(texts::kMsgBackupFailed, kBlockZeroUnanswered)}},
      {"backup read fails, write anyway",
       true,
       [](LinkRig& r) { r.sim.InjectFault(link::SimFault::DropReply, link::kReadAttempts, link::kCmdReadBlock); },
       {Answer::Yes},
       WorkflowResult::Completed,
       false,
       true,
       {WithReason(texts::kMsgBackupFailed, kBlockZeroUnanswered), texts::kMsgWriteDone}},
      {"the unit's text area is damaged, write stopped",
       true,
       [](LinkRig& r) {
         auto& m = r.sim.memory();
         m[m[40] | (m[41] << 8)] = 'Z';  // the first phone entry's count, not hexadecimal
       },
       {Answer::No},
       WorkflowResult::Failed,
       false,
       false,
       // The pumping station's phone block lies at 0x02ED.
       {WithReason(texts::kMsgBackupFailed,
                   "TC[0]: počet číslic v záznamu čísla není šestnáctkové číslo (adresa 0x02ED).")}},
      {"Storno during the backup read",
       true,
       [](LinkRig& r) {
         r.link.SetOnBlock([&r](long done, long) {
           if (done == 40) r.progress.ClickStorno();
         });
       },
       {},
       WorkflowResult::Cancelled,
       false,
       false,
       {texts::kMsgWriteCancelled}},
      {"backup folder cannot be made",
       true,
       nullptr,
       {Answer::No},
       WorkflowResult::Refused,
       false,
       false,
       {texts::kMsgBackupSaveFailed},
       true},
      // The oldest goes: 199 of them are kept with the new one.
      {"a full folder of backups", true, nullptr, {}, WorkflowResult::Completed, true, true, {""}, false, kBackupsKept},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::vector<std::string> old;
    for (int i = 0; i < c.oldBackups; ++i) {
      old.push_back("2020-01-01_" + std::to_string(100000 + i) + "_VEXA.eep");
      std::ofstream((dir / old.back()).string()) << "x";
    }
    ActiveUnit rig({}, c.programmed ? programmed : std::vector<std::uint8_t>{});
    rig.messages.answers = c.answers;
    if (c.arrange) c.arrange(rig);
    WriteOptions options{.backup = true, .backupDir = dir.string()};
    if (c.blockedFolder) {
      std::ofstream((dir / "file").string()) << "x";
      options.backupDir = (dir / "file" / "backups").string();
    }
    rig.ws.config.general.JmenoStanice = "nova";
    ASSERT_TRUE(EncodeImage(rig.ws));
    const auto encoded = std::make_unique<EepromImage>(rig.ws.image);

    // One bar for the command: a total that stays, a share that only moves
    // forward from the backup read into the write, and its end when the
    // write completes.
    std::vector<std::pair<long, long>> bar;
    rig.link.SetOnProgress([&bar](long done, long total) { bar.emplace_back(done, total); });
    std::optional<WriteBackup> backup;
    EXPECT_EQ(WriteWorkflow(rig.link, rig.ws, rig.sv, options, &backup), c.result);
    ASSERT_FALSE(bar.empty());
    for (std::size_t i = 1; i < bar.size(); ++i) {
      EXPECT_EQ(bar[i].second, bar[0].second);
      EXPECT_GE(bar[i].first, bar[i - 1].first);
    }
    if (c.result == WorkflowResult::Completed) {
      EXPECT_EQ(bar.back().first, bar.back().second);
    }
    // Every question of the backup is answered No by Enter.
    EXPECT_EQ(rig.messages.noByDefault.size(), c.answers.size());

    std::vector<fs::path> kept;
    std::vector<std::string> oldKept;
    for (const auto& e : fs::directory_iterator(dir)) {
      const std::string name = e.path().filename().string();
      if (name.rfind("2020-", 0) == 0) {
        oldKept.push_back(name);
      } else if (e.path().extension() == ".eep") {
        kept.push_back(e.path());
      }
    }
    std::sort(oldKept.begin(), oldKept.end());
    EXPECT_EQ(oldKept, std::vector<std::string>(old.begin() + (old.empty() ? 0 : 1), old.end()));
    ASSERT_EQ(kept.size(), c.backupKept ? 1u : 0u);
    ASSERT_EQ(backup.has_value(), c.backupKept);
    std::vector<std::string> expected = c.messages;
    if (c.blockedFolder) {
      Failure notAFolder;
      ASSERT_FALSE(CreatePrivateFolders(options.backupDir, notAFolder));
      expected[0] = WithReason(expected[0], notAFolder);
    }
    if (c.backupKept) {
      EXPECT_EQ(backup->path, kept[0].string());
      EXPECT_EQ(kept[0].filename().string().substr(18), "VEXA_" + station);
      EXPECT_TRUE(backup->config == pumping.config);
      Workspace reloaded;
      EXPECT_EQ(LoadConfigFile(kept[0].string(), reloaded), LoadResult::Loaded);
      EXPECT_TRUE(reloaded.config == pumping.config);
      expected[0] = std::string(texts::kMsgWriteDone) + "\n" + texts::BackupLine(backup->path);
    }
    // The line with the blocks written is another test's.
    std::vector<std::string> texts;
    for (std::string t : rig.messages.texts()) {
      if (const auto at = t.find("\nPočet zapsaných bloků: "); at != std::string::npos) {
        t.erase(at, t.find('\n', at + 1) == std::string::npos ? std::string::npos : t.find('\n', at + 1) - at);
      }
      texts.push_back(t);
    }
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(rig.Count(link::kCmdWriteBlock) > 0, c.written);
    // The backup read goes into an image of its own: the image to be written
    // stays as the encoder made it, whether the write went ahead or not.
    EXPECT_TRUE(rig.ws.image == *encoded);
    EXPECT_FALSE(rig.progress.visible);
  }
}

TEST(WriteBackup, ASecondWriteKeepsTheUnitsOwnBytesAndADamagedUnitIsReadAgain) {
  Workspace pumping = FixtureWorkspace("pumping-station.eep");
  ASSERT_TRUE(EncodeImage(pumping));
  std::vector<std::uint8_t> memory(pumping.image.data(), pumping.image.data() + 2048);
  for (std::size_t i = 64; i < 128; ++i) memory[i] = static_cast<std::uint8_t>(i * 3);
  const fs::path dir = test::FreshTestFolder("write-backup-second");
  const WriteOptions options{.backup = true, .backupDir = dir.string()};
  {
    // The second write's backup is what the first left in the unit, with
    // the unit's own bytes 64..127, and reads no block for it.
    ActiveUnit rig({}, memory);
    rig.ws.settings.CheckWrite = false;  // no read-back among the block reads
    rig.ws.config = pumping.config;
    rig.ws.config.general.JmenoStanice = "prvni";
    ASSERT_EQ(WriteWorkflow(rig.link, rig.ws, rig.sv, options), WorkflowResult::Completed);
    rig.sim.ClearLog();
    rig.ws.config.general.JmenoStanice = "druha";
    std::optional<WriteBackup> second;
    ASSERT_EQ(WriteWorkflow(rig.link, rig.ws, rig.sv, options, &second), WorkflowResult::Completed);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(rig.Count(link::kCmdReadBlock), 0);
    EXPECT_EQ(second->config.general.JmenoStanice, "prvni");
    std::ifstream in(second->path, std::ios::binary);
    const std::vector<char> file{std::istreambuf_iterator<char>(in), {}};
    ASSERT_GE(file.size(), 128u);
    for (std::size_t i = 64; i < 128; ++i) EXPECT_EQ(static_cast<std::uint8_t>(file[i]), memory[i]) << i;
  }
  {
    // A unit whose configuration does not decode: after "Ne" nothing is
    // known of it, and the next write reads it again.
    auto damaged = memory;
    damaged[static_cast<std::size_t>(damaged[40] | (damaged[41] << 8))] = 'Z';
    ActiveUnit rig({}, damaged);
    rig.ws.config = pumping.config;
    for (int write = 0; write < 2; ++write) {
      rig.sim.ClearLog();
      rig.messages.answers = {Answer::No};
      EXPECT_EQ(WriteWorkflow(rig.link, rig.ws, rig.sv, options), WorkflowResult::Failed);
      // Read to the memory's end: a text area that does not decode has no
      // end to stop at.
      EXPECT_EQ(rig.Count(link::kCmdReadBlock), 1016) << write;
      EXPECT_EQ(rig.Count(link::kCmdWriteBlock), 0) << write;
    }
  }
}

TEST(WriteProgress, TheTimeLeftIsWithinAThirdOnceATenthIsDone) {
  // A verified write with its backup read at 19200 baud, as the window's bar
  // sees it: after the first tenth the time left it tells (in whole seconds)
  // is within 30 % of the time the write then still takes.
  Workspace pumping = FixtureWorkspace("pumping-station.eep");
  ASSERT_TRUE(EncodeImage(pumping));
  const std::vector<std::uint8_t> memory(pumping.image.data(), pumping.image.data() + 2048);
  for (const bool fullWrite : {true, false}) {
    SCOPED_TRACE(fullWrite ? "full write" : "changed blocks");
    ActiveUnit rig({.responseDelayUs = 2000, .charTimeUs = 521}, memory);
    rig.ws.config = pumping.config;
    rig.ws.config.general.JmenoStanice = "nova";
    struct Seen {
      std::int64_t ms;
      long done, total;
      bool newPhase;  // the window was shown with another text since the last report
    };
    std::vector<Seen> seen;
    std::size_t shown = 0;
    rig.link.SetOnProgress([&](long done, long total) {
      seen.push_back({rig.clock.now, done, total, rig.progress.shownTexts.size() != shown});
      shown = rig.progress.shownTexts.size();
    });
    const WriteOptions options{.backup = true, .backupDir = FreshTestFolder("write-progress").string(),
                               .fullWrite = fullWrite};
    ASSERT_EQ(WriteWorkflow(rig.link, rig.ws, rig.sv, options), WorkflowResult::Completed);
    ASSERT_FALSE(seen.empty());
    const std::int64_t end = seen.back().ms;
    TransferPace pace;
    double worst = 0;
    int phase = 0;
    for (const Seen& s : seen) {
      if (s.newPhase) {
        pace.NewPhase();  // as the window does when it is shown anew
        ++phase;
      }
      pace.Report(s.done, s.total, s.ms);
      const auto left = pace.SecondsLeft(s.ms);
      if (!left || s.done * 10 < s.total || s.done == s.total) continue;
      // A write of a few changed blocks is shorter than the whole write the
      // bar's total was fixed for before the unit was read: its time left is
      // judged once the write itself runs.
      if (!fullWrite && phase < 2) continue;
      const double real = static_cast<double>(end - s.ms) / 1000;
      // The window shows whole seconds, rounded up: n stands for more than
      // n - 1 and at most n.
      const double shown = static_cast<double>(*left);
      const double off = real > shown ? real - shown : std::max(0.0, shown - 1 - real);
      worst = std::max(worst, off / real);
    }
    std::printf("%s: time left off by at most %.0f %%\n", fullWrite ? "full write" : "changed blocks", worst * 100);
    EXPECT_LE(worst, 0.3);
  }
}

}  // namespace
}  // namespace vexa::test
