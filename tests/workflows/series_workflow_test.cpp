// One unit of a series through the fake link: what it ends with, what the
// unit holds afterwards, and the log line it leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "file/series_log.h"
#include "texts/texts.h"
#include "support/link_rig.h"
#include "support/test_folder.h"
#include "workflows/series_workflow.h"

namespace vexa {
namespace {

struct SeriesCase {
  const char* what;
  bool programmed;                                       // the unit holds the pumping station first
  bool whole;                                            // the row's whole configuration, else a change
  std::function<bool(DeviceConfig&, std::string&)> change;
  long stopAtWrite;                                      // pull the cable (>0) or press Storno (<0) at this block
  SeriesOutcome outcome;
  const char* reasonPart;
  bool written;  // write requests reached the unit
  long blocks = 0, blocksOf = 0;  // the log's blocks written of the whole configuration's
};

bool SetPin(DeviceConfig& c, std::string&) {
  c.general.PIN = "4321";
  return true;
}
bool BreakPin(DeviceConfig& c, std::string&) {
  c.general.PIN = "43x1";
  return true;
}

// A unit that holds the pumping station, or a blank one.
std::vector<std::uint8_t> UnitMemory(const Workspace& station, bool programmed) {
  test::LinkRig writer;
  if (programmed) {
    writer.ws.config = station.config;
    writer.Activate();
    WriteOptions noBackup;
    noBackup.backup = false;
    EXPECT_EQ(WriteWorkflow(writer.link, writer.ws, writer.sv, noBackup), WorkflowResult::Completed);
  }
  return writer.sim.memory();
}

// Runs one case as row `row`, logging into `dir`, and checks what it ended with.
void RunSeriesCase(const SeriesCase& c, int row, const std::filesystem::path& dir, const Workspace& station) {
  test::LinkRig rig;
  rig.sim.memory() = UnitMemory(station, c.programmed);
  SeriesTarget t;
  t.row = row;
  t.station = "Vrt";
  if (c.whole) {
    t.config = station.config;
    t.config->general.JmenoStanice = "Vrt";
  }
  t.change = c.change;
  rig.link.SetOnBlock([&rig, &c](long, long) {
    if (c.stopAtWrite > 0 && rig.Count(5) >= c.stopAtWrite) rig.port.lost = true;
    if (c.stopAtWrite < 0 && rig.Count(5) >= -c.stopAtWrite) rig.ws.CancelRequested = true;
  });
  SeriesUnitOptions options;
  options.logPath = (dir / "log.csv").string();
  options.backupDir = (dir / "backups").string();
  const SeriesUnitResult r = RunSeriesUnit(rig.link, rig.ws, rig.sv, t, options);
  EXPECT_EQ(r.outcome, c.outcome);
  EXPECT_EQ(r.logProblem, "");
  EXPECT_NE(r.entry.reason.find(c.reasonPart), std::string::npos) << r.entry.reason;
  EXPECT_EQ(rig.Count(5) > 0, c.written);
  EXPECT_EQ(rig.link.state(), LinkState::Neaktivni);  // released whatever happened
  EXPECT_EQ(r.entry.product, "VEXA");
  if (c.outcome != SeriesOutcome::Done) return;
  EXPECT_EQ(r.entry.blocks, rig.Count(5));
  EXPECT_EQ(r.entry.blocksOf, c.blocksOf);
  EXPECT_EQ(r.entry.blocks, c.blocks);
  if (c.whole) return;
  // Only the PIN changed: the unit keeps its own station name.
  ASSERT_EQ(r.changes.size(), 1u) << r.entry.changes;
  EXPECT_EQ(r.changes.front().b, "4321");
  EXPECT_EQ(r.entry.station, station.config.general.JmenoStanice);
}

TEST(SeriesWorkflow, EachUnitEndsWithItsOutcomeAndLogLine) {
  const std::vector<SeriesCase> cases = {
      {"whole configuration, blank unit", false, true, nullptr, 0, SeriesOutcome::Done, "", true, 138, 138},
      {"change on a programmed unit", true, false, SetPin, 0, SeriesOutcome::Done, "", true, 6, 142},
      {"change on a blank unit", false, false, SetPin, 0, SeriesOutcome::Failed, texts::kSeriesNothingToChange, false},
      {"change that breaks a rule", true, false, BreakPin, 0, SeriesOutcome::Refused, "general.PIN", false},
      {"cable pulled mid-write", false, true, nullptr, 3, SeriesOutcome::Failed, texts::kMsgWriteFailed, true},
      {"Storno mid-write", true, true, nullptr, -2, SeriesOutcome::Cancelled, texts::kMsgWriteCancelled, true},
  };
  const auto dir = test::FreshTestFolder("workflows-series");
  std::filesystem::create_directories(dir);
  const Workspace station = test::FixtureWorkspace("pumping-station.eep");
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    RunSeriesCase(cases[i], static_cast<int>(i + 1), dir, station);
  }
  std::vector<SeriesLogEntry> log;
  Failure why;
  ASSERT_TRUE(ReadSeriesLog((dir / "log.csv").string(), log, why));
  ASSERT_EQ(log.size(), cases.size());
  EXPECT_EQ(DoneRows(log), (std::set<int>{1, 2}));
  EXPECT_EQ(log[5].outcome, kSeriesCancelled);
}

}  // namespace
}  // namespace vexa
