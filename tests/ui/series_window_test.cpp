// The series window: three simulated units through the fake port, the same
// log as the workflow gives the command line, and a refused table marked cell
// by cell.
#include <QPushButton>
#include <QTableWidget>

#include <array>
#include <filesystem>
#include <fstream>

#include "codec/decoder.h"
#include "file/config_file.h"
#include "file/series_log.h"
#include "support/link_rig.h"
#include "support/test_folder.h"
#include "ui/main_window_support.h"
#include "ui/window_commands.h"
#include "ui/series_window.h"
#include "workflows/series_workflow.h"
#include "workspace/compare.h"

namespace vexa::ui::testing {
namespace {

std::string WriteSeriesTable(const std::filesystem::path& dir, const std::string& name, const std::string& text) {
  std::filesystem::create_directories(dir);
  const std::string path = (dir / name).string();
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

constexpr const char* kThreeUnits =
    "general.JmenoStanice;general.PIN;phones[0].TC\n"
    "Vrt 1;1111;+420600000001\n"
    "Vrt 2;2222;+420600000002\n"
    "Vrt 3;3333;+420600000003\n";

link::UnitSimulator SeriesUnitSim(int k) {
  link::UnitOptions o;
  o.versionMinor = static_cast<std::uint8_t>(5 + k);
  o.modemCode = static_cast<std::uint8_t>(3 + k % 2);
  return link::UnitSimulator(o);
}
std::array<link::UnitSimulator, 3> ThreeUnits() { return {SeriesUnitSim(0), SeriesUnitSim(1), SeriesUnitSim(2)}; }

// A log's lines without what differs between two runs: the time, the
// seconds and the backup's name.
std::vector<std::string> Comparable(const std::string& path) {
  std::vector<SeriesLogEntry> entries;
  Failure why;
  EXPECT_TRUE(ReadSeriesLog(path, entries, why)) << why.Reason();
  std::vector<std::string> lines;
  for (SeriesLogEntry e : entries) {
    e.time.clear();
    e.seconds = 0;
    e.backup = e.backup.empty() ? "" : "kept";
    lines.push_back(SeriesLogLine(e));
  }
  return lines;
}

TEST(SeriesWindow, ThreeUnitsThroughTheFakePortWriteTheLogOfTheCommandLine) {
  const auto dir = test::FreshTestFolder("ui-series");
  const std::string tablePath = WriteSeriesTable(dir / "window", "vrty.csv", kThreeUnits);
  test::LinkRig rig;
  rig.ws.config = test::FixtureWorkspace("pumping-station.eep").config;
  auto units = ThreeUnits();
  SeriesWindow window(rig.ws, rig.sv, rig.link);
  ASSERT_TRUE(window.LoadTable(tablePath));
  auto* next = window.findChild<QPushButton*>(QStringLiteral("btSerieDalsi"));
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(window.table()->item(0, 1)->text(), QString::fromUtf8("čeká"));
  for (std::size_t k = 0; k < units.size(); ++k) {
    rig.port.sim = &units[k];
    ASSERT_TRUE(next->isEnabled()) << k;
    next->click();
    EXPECT_EQ(window.table()->item(static_cast<int>(k), 1)->text(), QString::fromUtf8("zapsáno")) << k;
  }
  EXPECT_FALSE(next->isEnabled());

  // The units hold the template with their rows.
  const SeriesTable table = BuildSeriesTable(rig.ws.config, kThreeUnits, {});
  for (std::size_t k = 0; k < units.size(); ++k) {
    EepromImage image;
    ASSERT_TRUE(CopyBytesToImage(units[k].memory().data(), units[k].memory().size(), image));
    DeviceConfig held;
    ASSERT_TRUE(DecodeImage(image, rig.ws.scales, '.', held, nullptr)) << k;
    EXPECT_TRUE(CompareStored(held, table.units[k].config, rig.ws.scales, '.').empty()) << k;
  }

  // The command line's run of the same table over three fresh units: the same workflow, the same log.
  const std::string cliLog = (dir / "cli.log.csv").string();
  test::LinkRig cli;
  auto cliUnits = ThreeUnits();
  SeriesUnitOptions options;
  options.logPath = cliLog;
  for (const int row : PendingRows(table, {})) {
    cli.port.sim = &cliUnits[static_cast<std::size_t>(row - 1)];
    SeriesTarget target;
    target.row = row;
    target.station = table.units[static_cast<std::size_t>(row - 1)].station;
    target.config = table.units[static_cast<std::size_t>(row - 1)].config;
    EXPECT_EQ(RunSeriesUnit(cli.link, cli.ws, cli.sv, target, options).outcome, SeriesOutcome::Done);
  }
  const auto windowLines = Comparable(window.logPath());
  EXPECT_EQ(windowLines.size(), 3u);
  EXPECT_EQ(windowLines, Comparable(cliLog));

  // Reopened over the same table and log, the series is done.
  SeriesWindow again(rig.ws, rig.sv, rig.link);
  again.LoadTable(tablePath);
  EXPECT_FALSE(again.findChild<QPushButton*>(QStringLiteral("btSerieDalsi"))->isEnabled());
  EXPECT_EQ(again.table()->item(2, 1)->text(), QString::fromUtf8("zapsáno"));
}

TEST(SeriesWindow, RefusedTableMarksEachCellWithItsReasonAndWritesNothing) {
  const auto dir = test::FreshTestFolder("ui-series");
  const std::string path = WriteSeriesTable(dir, "spatne.csv",
                                            "general.JmenoStanice;general.PIN\nVrt 1;1111\nVrt 1;12a\n");
  test::LinkRig rig;
  SeriesWindow window(rig.ws, rig.sv, rig.link);
  EXPECT_FALSE(window.LoadTable(path));
  EXPECT_TRUE(window.table()->item(1, 2)->toolTip().contains(QStringLiteral("general.JmenoStanice")));
  EXPECT_TRUE(window.table()->item(1, 3)->toolTip().contains(QStringLiteral("general.PIN")));
  EXPECT_TRUE(window.table()->item(0, 3)->toolTip().isEmpty());
  EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("btSerieDalsi"))->isEnabled());
  window.WriteNext();
  EXPECT_TRUE(rig.sim.requests().empty());
  EXPECT_FALSE(std::filesystem::exists(window.logPath()));
}

class SeriesKeyTest : public MainWindowTest {};

TEST_F(SeriesKeyTest, CtrlROpensOneSeriesWindowOverTheWindowsConfiguration) {
  const auto dir = test::FreshTestFolder("ui-series");
  AttachLink(*window, dir.string());
  Type(Edit("tabJmenoStanice"), QStringLiteral("Šablona"));
  for (int i = 0; i < 2; ++i) {
    QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
    Settle();
  }
  const auto windows = window->findChildren<SeriesWindow*>(QStringLiteral("SerieWindow"));
  ASSERT_EQ(windows.size(), 1);
  EXPECT_TRUE(windows.front()->isVisible());
  // The template is the configuration as the window holds it now.
  const std::string path = WriteSeriesTable(dir, "t.csv", "general.PIN\n1234\n");
  ASSERT_TRUE(windows.front()->LoadTable(path));
  EXPECT_TRUE(windows.front()->findChild<QLabel*>(QStringLiteral("lbSerieStav"))->text().contains(
      QString::fromUtf8("Šablona")));
}

}  // namespace
}  // namespace vexa::ui::testing
