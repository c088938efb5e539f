// The unit's bytes a read or a completed write of this activation left known:
// the next write keeps them as its backup and writes only what differs,
// without reading the unit again; anything that leaves them in doubt makes
// it read afresh.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/header.h"
#include "link/block_transfer.h"
#include "link/programming_mode.h"
#include "support/link_rig.h"
#include "workflows/unit_workflows.h"

namespace vexa::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> PumpingMemory() {
  Workspace pumping = FixtureWorkspace("pumping-station.eep");
  EXPECT_TRUE(EncodeImage(pumping));
  return {pumping.image.data(), pumping.image.data() + 2048};
}

fs::path KnownUnitDir() {
  const fs::path dir = fs::path(VEXA_BINARY_DIR) / "known-unit-test";
  fs::remove_all(dir);
  return dir;
}

// Storno once the transfer has done `block` blocks.
void StornoAt(ActiveUnit& u, long block) {
  u.link.onBlock = [&u, block](long done, long) {
    if (done == block) u.progress.ClickStorno();
  };
}

TEST(KnownUnit, AWriteAfterAReadOrAWriteReadsNoBlockUnlessTheUnitIsInDoubt) {
  const WriteOptions backup{.backup = true, .backupDir = KnownUnitDir().string()};
  struct Case {
    const char* name;
    std::function<void(ActiveUnit&)> before;  // what happened earlier in the activation
    bool readsAgain;
  };
  const auto read = [](ActiveUnit& u) { EXPECT_EQ(ReadWorkflow(u.link, u.ws, u.sv), WorkflowResult::Completed); };
  const auto write = [&](ActiveUnit& u) {
    u.ws.config.general.rtPowerUp = "Napajeni obnoveno";
    EXPECT_EQ(WriteWorkflow(u.link, u.ws, u.sv, backup), WorkflowResult::Completed);
  };
  const Case cases[] = {
      {"quick read", read, false},
      {"full read",
       [](ActiveUnit& u) {
         EXPECT_EQ(ReadWorkflow(u.link, u.ws, u.sv, {.fullRead = true}), WorkflowResult::Completed);
       },
       false},
      {"completed write", write, false},
      {"read, then a write refused by its checks",
       [&](ActiveUnit& u) {
         read(u);
         const std::string name = u.ws.config.outputs[1].OUTNazev;
         u.ws.config.outputs[1].OUTNazev = u.ws.config.outputs[0].OUTNazev;
         EXPECT_EQ(WriteWorkflow(u.link, u.ws, u.sv, backup), WorkflowResult::Refused);
         u.ws.config.outputs[1].OUTNazev = name;
       },
       false},
      {"nothing yet", [](ActiveUnit&) {}, true},
      {"read, then another activation",
       [&](ActiveUnit& u) {
         read(u);
         EXPECT_TRUE(link::DeactivateLink(u.link, u.ws, u.sv));
         u.Activate();
       },
       true},
      {"read that failed",
       [&](ActiveUnit& u) {
         read(u);
         u.sim.InjectFault(link::SimFault::DropReply, link::kReadAttempts, link::kCmdReadBlock);
         EXPECT_EQ(ReadWorkflow(u.link, u.ws, u.sv), WorkflowResult::Failed);
       },
       true},
      {"read stopped by Storno",
       [&](ActiveUnit& u) {
         read(u);
         StornoAt(u, 10);
         EXPECT_EQ(ReadWorkflow(u.link, u.ws, u.sv), WorkflowResult::Cancelled);
       },
       true},
      {"write stopped by Storno",
       [&](ActiveUnit& u) {
         read(u);
         u.ws.config.general.JmenoStanice = "jinam";
         StornoAt(u, 2);
         EXPECT_EQ(WriteWorkflow(u.link, u.ws, u.sv, backup), WorkflowResult::Cancelled);
       },
       true},
      {"write that failed",
       [&](ActiveUnit& u) {
         read(u);
         u.ws.config.general.JmenoStanice = "jinam";
         u.sim.InjectFault(link::SimFault::DropReply, link::kWriteAttempts, link::kCmdWriteBlock);
         EXPECT_EQ(WriteWorkflow(u.link, u.ws, u.sv, backup), WorkflowResult::Failed);
       },
       true},
  };
  const auto memory = PumpingMemory();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ActiveUnit unit({}, memory);
    unit.ws.settings.CheckWrite = false;  // every block read is then a read of the unit
    unit.messages.answers = {Answer::Yes, Answer::Yes};  // a backup question, if one comes
    c.before(unit);
    unit.link.onBlock = nullptr;
    unit.sim.ClearLog();

    EepromImage before;
    std::copy(unit.sim.memory().begin(), unit.sim.memory().end(), before.data());
    unit.ws.config.general.rtPowerDown = "Vypadek napajeni";
    std::optional<WriteBackup> kept;
    ASSERT_EQ(WriteWorkflow(unit.link, unit.ws, unit.sv, backup, &kept), WorkflowResult::Completed);
    EXPECT_EQ(unit.Count(link::kCmdReadBlock) > 0, c.readsAgain);
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
  const WriteOptions options{.backup = true, .backupDir = KnownUnitDir().string()};
  const auto timedWrite = [&](const char* text) {
    unit.ws.config.general.rtSwitchOn = text;
    const std::int64_t start = unit.clock.now;
    EXPECT_EQ(WriteWorkflow(unit.link, unit.ws, unit.sv, options), WorkflowResult::Completed);
    return unit.clock.now - start;
  };
  const std::int64_t took = timedWrite("Zapnuto");
  // The same change with the unit to be read first, as after an activation.
  unit.ws.unitImage.reset();
  const std::int64_t reading = timedWrite("Sepnuto");
  std::printf("slow unit, one SMS text changed: write %lld ms of link time (%lld ms reading the unit first)\n",
              static_cast<long long>(took), static_cast<long long>(reading));
  EXPECT_LE(took, 3000);
  EXPECT_GT(took, 0);
}

}  // namespace
}  // namespace vexa::test
