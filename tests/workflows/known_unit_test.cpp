// The unit's bytes a read or a completed write of this activation left known:
// the next write keeps them as its backup and writes only what differs,
// without reading the unit again; anything that leaves them in doubt makes
// it read afresh.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/header.h"
#include "link/block_transfer.h"
#include "workflows/link_workflows.h"
#include "support/link_rig.h"
#include "workflows/unit_workflows.h"
#include "support/test_folder.h"

namespace vexa::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> PumpingMemory() {
  Workspace pumping = FixtureWorkspace("pumping-station.eep");
  EXPECT_TRUE(EncodeImage(pumping));
  return {pumping.image.data(), pumping.image.data() + 2048};
}

// What happened earlier in the activation.
enum class Step { Read, FullRead, Write, RefusedWrite, Reactivate, FailedRead, StoppedRead, StoppedWrite, FailedWrite };

void RunStep(ActiveUnit& u, Step step, const WriteOptions& backup) {
  const auto stornoAt = [&u](long block) {
    u.link.SetOnBlock([&u, block](long done, long) {
      if (done == block) u.progress.ClickStorno();
    });
  };
  u.ws.config.general.JmenoStanice += "+";  // a change for a write to send
  const std::string name = u.ws.config.outputs[1].OUTNazev;
  switch (step) {
    case Step::Read: EXPECT_EQ(ReadWorkflow(u.link, u.ws, u.sv), WorkflowResult::Completed); break;
    case Step::FullRead: EXPECT_EQ(ReadWorkflow(u.link, u.ws, u.sv, {.fullRead = true}), WorkflowResult::Completed); break;
    case Step::Write: EXPECT_EQ(WriteWorkflow(u.link, u.ws, u.sv, backup), WorkflowResult::Completed); break;
    case Step::RefusedWrite:  // two outputs of one name: refused before any transfer
      u.ws.config.outputs[1].OUTNazev = u.ws.config.outputs[0].OUTNazev;
      EXPECT_EQ(WriteWorkflow(u.link, u.ws, u.sv, backup), WorkflowResult::Refused);
      u.ws.config.outputs[1].OUTNazev = name;
      break;
    case Step::Reactivate:
      EXPECT_TRUE(DeactivateLink(u.link, u.sv));
      u.Activate();
      break;
    case Step::FailedRead:
      u.sim.InjectFault(link::SimFault::DropReply, link::kReadAttempts, link::kCmdReadBlock);
      EXPECT_EQ(ReadWorkflow(u.link, u.ws, u.sv), WorkflowResult::Failed);
      break;
    case Step::StoppedRead:
      stornoAt(10);
      EXPECT_EQ(ReadWorkflow(u.link, u.ws, u.sv), WorkflowResult::Cancelled);
      break;
    case Step::StoppedWrite:
      stornoAt(2);
      EXPECT_EQ(WriteWorkflow(u.link, u.ws, u.sv, backup), WorkflowResult::Cancelled);
      break;
    case Step::FailedWrite:
      u.sim.InjectFault(link::SimFault::DropReply, link::kWriteAttempts, link::kCmdWriteBlock);
      EXPECT_EQ(WriteWorkflow(u.link, u.ws, u.sv, backup), WorkflowResult::Failed);
      break;
  }
  u.link.SetOnBlock(nullptr);
}

TEST(KnownUnit, AWriteAfterAReadOrAWriteReadsNoBlockUnlessTheUnitIsInDoubt) {
  const WriteOptions backup{.backup = true, .backupDir = test::FreshTestFolder("known-unit-test").string()};
  const struct {
    std::vector<Step> before;
    long reads;  // blocks read again: the quick read of the pumping station, or the front area of a unit left empty
  } cases[] = {
      {{Step::Read}, 0},
      {{Step::FullRead}, 0},
      {{Step::Write}, 0},
      {{Step::Read, Step::RefusedWrite}, 0},
      {{}, 124},
      {{Step::Read, Step::Reactivate}, 124},
      {{Step::Read, Step::FailedRead}, 124},
      {{Step::Read, Step::StoppedRead}, 124},
      {{Step::Read, Step::StoppedWrite}, 34},
      {{Step::Read, Step::FailedWrite}, 34},
  };
  const auto memory = PumpingMemory();
  for (const auto& c : cases) {
    std::string steps;
    for (const Step step : c.before) steps += std::to_string(static_cast<int>(step)) + " ";
    SCOPED_TRACE(steps);
    ActiveUnit unit({}, memory);
    unit.ws.settings.CheckWrite = false;  // every block read is then a read of the unit
    for (const Step step : c.before) RunStep(unit, step, backup);
    unit.sim.ClearLog();

    EepromImage before;
    std::copy(unit.sim.memory().begin(), unit.sim.memory().end(), before.data());
    unit.ws.config.general.rtPowerDown = "Vypadek napajeni";
    std::optional<WriteBackup> kept;
    ASSERT_EQ(WriteWorkflow(unit.link, unit.ws, unit.sv, backup, &kept), WorkflowResult::Completed);
    EXPECT_EQ(unit.Count(link::kCmdReadBlock), c.reads);
    // Whatever it started from, the unit now holds the configuration, and
    // a backup was kept when the unit held one.
    ActiveUnit reader({}, unit.sim.memory());
    EXPECT_EQ(ReadWorkflow(reader.link, reader.ws, reader.sv), WorkflowResult::Completed);
    DeviceConfig written;
    ASSERT_TRUE(DecodeImage(unit.ws.image, unit.ws.scales, '.', written));
    EXPECT_TRUE(reader.ws.config == written);
    ASSERT_EQ(kept.has_value(), IsImageValid(before));
    if (kept) {
      EXPECT_TRUE(fs::exists(kept->path));
    }
  }
}

// On a slow unit (100 to 300 ms a block), read, change one SMS text, write:
// the write sends a few blocks and reads none but their read-backs.
TEST(KnownUnit, ASlowUnitWritesOneChangedTextWithinThreeSeconds) {
  link::UnitOptions slow;
  slow.blockDelayMinUs = 100'000;
  slow.blockDelayMaxUs = 300'000;
  ActiveUnit unit(slow, PumpingMemory());
  ASSERT_EQ(ReadWorkflow(unit.link, unit.ws, unit.sv), WorkflowResult::Completed);
  const WriteOptions options{.backup = true, .backupDir = test::FreshTestFolder("known-unit-test").string()};
  const auto timedWrite = [&](const char* text) {
    unit.ws.config.general.rtSwitchOn = text;
    const std::int64_t start = unit.clock.now;
    EXPECT_EQ(WriteWorkflow(unit.link, unit.ws, unit.sv, options), WorkflowResult::Completed);
    return unit.clock.now - start;
  };
  const std::int64_t took = timedWrite("Zapnuto");
  // The same change with the unit to be read first, as after an activation.
  unit.link.SetUnitImage(std::nullopt);
  const std::int64_t reading = timedWrite("Sepnuto");
  std::printf("slow unit, one SMS text changed: write %lld ms of link time (%lld ms reading the unit first)\n",
              static_cast<long long>(took), static_cast<long long>(reading));
  EXPECT_LE(took, 3000);
  EXPECT_GT(took, 0);
}

}  // namespace
}  // namespace vexa::test
