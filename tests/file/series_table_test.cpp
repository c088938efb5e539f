#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/cp1250.h"
#include "file/series_log.h"
#include "file/series_table.h"
#include "texts/texts.h"
#include "workflows/series_workflow.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

DeviceConfig StartupConfig() { return Workspace().config; }

std::string AllProblems(const SeriesTable& table) {
  std::string text;
  for (const auto& p : table.problems) text += DescribeProblem(p) + "\n";
  return text;
}

// A table of `rows` rows whose station names are "S1".."Sn", with `extra`
// (a header cell and its value per row) in row `at` only.
std::string Stations(int rows, int at = 0, const std::string& column = {}, const std::string& value = {}) {
  std::string text = "general.JmenoStanice" + (column.empty() ? std::string() : ";" + column) + "\n";
  for (int r = 1; r <= rows; ++r) {
    text += "S" + std::to_string(r);
    if (!column.empty()) text += ";" + std::string(r == at ? value : "");
    text += "\n";
  }
  return text;
}

TEST(SeriesTable, RefusedTablesNameEachProblemOnceWithRowAndColumn) {
  const SeriesCheck check;
  const int roomy = ComputeUsage(StartupConfig()) + 60;
  struct Case {
    const char* what;
    std::string csv;
    long memory;
    std::vector<SeriesProblem> want;  // reason: a part of it
  };
  const std::vector<Case> cases = {
      {"unknown column", Stations(2, 1, "general.Nic", "x"), check.memoryBytes,
       {{0, "general.Nic", texts::kSeriesUnknownColumn}}},
      {"column twice", Stations(1, 1, "general.JmenoStanice", "T"), check.memoryBytes,
       {{0, "general.JmenoStanice", texts::kSeriesColumnTwice}}},
      {"duplicate station", "general.JmenoStanice\nA\nB\nA\n", check.memoryBytes,
       {{3, "general.JmenoStanice", texts::SeriesSameStation(1)}}},
      {"rule broken in row 4", Stations(5, 4, "general.PIN", "12a4"), check.memoryBytes,
       {{4, "general.PIN", "PIN"}}},
      {"unstorable character", Stations(3, 2, "inputs[0].INPNazev", "Sn\xE2\x98\x83h"), check.memoryBytes,
       {{2, "inputs[0].INPNazev", "\xE2\x98\x83"}}},
      {"flag that is no flag", Stations(2, 2, "general.PINAuth", "snad"), check.memoryBytes,
       {{2, "general.PINAuth", texts::kSeriesFlagExpected}}},
      {"byte out of range", Stations(2, 1, "outputFunctionByte", "300"), check.memoryBytes,
       {{1, "outputFunctionByte", texts::kSeriesByteExpected}}},
      {"row over the memory", Stations(3, 3, "general.rtPowerUp", std::string(90, 'x')), roomy,
       {{3, "", "(" + std::to_string(roomy) + " byte)"}}},
      {"cells beyond the header", "general.JmenoStanice;general.PIN\nA;1234;x\n", check.memoryBytes, {{1, "", "3"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SeriesCheck limited = check;
    limited.memoryBytes = c.memory;
    const SeriesTable table = BuildSeriesTable(StartupConfig(), c.csv, limited);
    ASSERT_EQ(table.problems.size(), c.want.size()) << AllProblems(table);
    for (std::size_t i = 0; i < c.want.size(); ++i) {
      EXPECT_EQ(table.problems[i].row, c.want[i].row);
      EXPECT_EQ(table.problems[i].column, c.want[i].column);
      EXPECT_NE(table.problems[i].reason.find(c.want[i].reason), std::string::npos) << table.problems[i].reason;
    }
  }
}

TEST(SeriesTable, SpreadsheetEncodingsAndSeparatorsGiveTheSameConfigurations) {
  const std::string rows[][3] = {{"Čerpadlo Žďár", "Pristup; odmitnut", "1"},
                                 {"Vodárna Kůň", "'Ano', rekl", "ne"},
                                 {"Třetí", "", ""}};
  const auto csv = [&](char sep) {
    std::string text = std::string("general.JmenoStanice") + sep + "general.rtNotAuthorized" + sep + "general.PINAuth\r\n";
    for (const auto& r : rows) {
      text += CsvLine({r[0], r[1], r[2]}, sep) + "\r\n";
    }
    return text;
  };
  DeviceConfig templ = StartupConfig();
  templ.general.rtNotAuthorized = "Neopravneny pristup";
  const std::string czechSpreadsheet = *Utf8ToCp1250(csv(';'));
  const std::string utf8WithBom = "\xEF\xBB\xBF" + csv(',');
  const std::string tabs = csv('\t');
  const SeriesTable want = BuildSeriesTable(templ, czechSpreadsheet, {});
  ASSERT_FALSE(want.Refused()) << AllProblems(want);
  ASSERT_EQ(want.units.size(), 3u);
  EXPECT_EQ(want.units[0].station, "Čerpadlo Žďár");
  EXPECT_EQ(want.units[0].config.general.rtNotAuthorized, "Pristup; odmitnut");
  EXPECT_TRUE(want.units[0].config.general.PINAuth);
  EXPECT_EQ(want.units[1].config.general.rtNotAuthorized, "'Ano', rekl");
  EXPECT_EQ(want.units[2].config.general.rtNotAuthorized, "Neopravneny pristup");  // an empty cell keeps the template's
  for (const std::string& other : {utf8WithBom, tabs}) {
    const SeriesTable got = BuildSeriesTable(templ, other, {});
    ASSERT_FALSE(got.Refused());
    ASSERT_EQ(got.units.size(), want.units.size());
    for (std::size_t i = 0; i < got.units.size(); ++i) EXPECT_EQ(got.units[i].config, want.units[i].config) << i;
  }
}

TEST(SeriesTable, EveryColumnSetsItsFieldAndNoOther) {
  const DeviceConfig base = StartupConfig();
  for (const std::string& column : SeriesColumns()) {
    SCOPED_TRACE(column);
    std::vector<std::string> changed;
    // A number or a text takes "7"; a flag takes one of its two values.
    for (const char* value : {"7", "ano", "ne"}) {
      DeviceConfig config = base;
      std::vector<SeriesProblem> problems;
      ApplyCells(config, {column}, {value}, 1, problems);
      if (problems.empty()) changed = DifferingColumns(base, config);
      if (!changed.empty()) break;
    }
    EXPECT_EQ(changed, std::vector<std::string>{column});
  }
}

TEST(SeriesLog, LinesReadBackAndTellWhichRowsAreDone) {
  std::vector<SeriesLogEntry> entries(4);
  entries[0] = {"2026-12-08 05:00:00", 1, "Čerpadlo; 1", "VEXA", "1.5", "  8128 byte", "TC35", kSeriesDone, "", 6, 139,
                "/b/x.eep", 1.25, "PIN: '1' → '2' | T1: \"a\""};
  entries[1] = {"t", 2, "S2", "VEXA", "1.6", "?", "?", kSeriesFailed, "Blok 0x40: \"žádná odpověď\"\nznovu", 3, 139, "", 0, ""};
  entries[2] = {"t", 3, "S3", "", "", "", "", kSeriesDone, "", -1, 0, "", 0, ""};
  entries[3] = {"t", 3, "S3", "", "", "", "", kSeriesFailed, "redo failed", -1, 0, "", 0, ""};
  std::string text = SeriesLogHeader() + "\n";
  for (const auto& e : entries) text += SeriesLogLine(e) + "\n";
  text += "2026-12-08 05:09:00;4;S4;VE";  // a line cut short by a lost plug
  const auto back = ParseSeriesLog(text);
  ASSERT_EQ(back.size(), entries.size());
  EXPECT_EQ(back[0].station, entries[0].station);
  EXPECT_EQ(back[0].changes, entries[0].changes);
  EXPECT_EQ(back[0].blocks, 6);
  EXPECT_EQ(back[0].blocksOf, 139);
  EXPECT_DOUBLE_EQ(back[0].seconds, 1.25);
  EXPECT_EQ(back[1].reason, entries[1].reason);
  EXPECT_EQ(back[2].blocks, -1);
  EXPECT_EQ(DoneRows(back), (std::set<int>{1}));

  const SeriesTable table = BuildSeriesTable(StartupConfig(), Stations(4), {});
  ASSERT_FALSE(table.Refused());
  EXPECT_EQ(PendingRows(table, back), (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(PendingRows(table, back, 1), (std::vector<int>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace vexa
