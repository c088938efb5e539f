// The report's layout engine on a recording printer (A4: PW 11906, PH 16838;
// 8 pt text is 80 twips a character and 160 high).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "recording_printer.h"
#include "report/engine.h"
#include "report/sections.h"

namespace vexa {
namespace {

using test::FakeServices;
using test::PrintedLine;
using test::RecordingPrinter;

struct Rect {
  double x0, y0, x1, y1;
};

// Every cell draws its frame as four lines, top edge first.
std::vector<Rect> Cells(const std::vector<PrintedLine>& lines) {
  std::vector<Rect> out;
  for (size_t i = 0; i + 3 < lines.size(); i += 4)
    out.push_back({lines[i].x1, lines[i].y1, lines[i].x2, lines[i + 1].y2});
  return out;
}

class EngineTest : public ::testing::Test {
 protected:
  EngineTest() {
    printer.BeginDocument();
    printer.SetFontSize(8);
    printer.SetDrawWidth(1);
    printer.SetCurrentX(1000);
    printer.SetCurrentY(2100);
  }
  Workspace ws;
  FakeServices fs;
  RecordingPrinter printer;
  ReportRun run{printer, fs.progress, fs.loop, ws};
};

TEST_F(EngineTest, CellDrawsItsFrameClockwiseFromTheTopLeft) {
  PrintCell(run, "", 2000, 300, kAlignLeft, true, false);
  const auto& lines = printer.page().lines;
  ASSERT_EQ(lines.size(), 4u);
  const double expected[4][4] = {
      {1000, 2100, 3000, 2100}, {3000, 2100, 3000, 2400}, {3000, 2400, 1000, 2400}, {1000, 2400, 1000, 2100}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(lines[i].x1, expected[i][0]);
    EXPECT_EQ(lines[i].y1, expected[i][1]);
    EXPECT_EQ(lines[i].x2, expected[i][2]);
    EXPECT_EQ(lines[i].y2, expected[i][3]);
    EXPECT_EQ(lines[i].width, 1);
  }
  // An empty text is lower than the cell, so it is "printed": nothing visible.
  ASSERT_EQ(printer.page().texts.size(), 1u);
  EXPECT_EQ(printer.page().texts[0].text, "");
}

TEST_F(EngineTest, TextSitsFiftyAboveTheBottomAndAligns) {
  struct Case {
    int align;
    double x;
  };
  // "abc" is 240 wide in a cell 1000..3000.
  const Case cases[] = {{kAlignLeft, 1050}, {kAlignRight, 3000 - 240 - 50}, {kAlignCentre, 1000 + 1000 - 120}};
  for (const auto& c : cases) {
    printer.page().texts.clear();
    printer.SetCurrentX(1000);
    printer.SetCurrentY(2100);
    PrintCell(run, "abc", 2000, 300, c.align, false, false);
    ASSERT_EQ(printer.page().texts.size(), 1u);
    EXPECT_EQ(printer.page().texts[0].x, c.x) << c.align;
    EXPECT_EQ(printer.page().texts[0].y, 2400 - 160 - 50);
  }
}

TEST_F(EngineTest, TextWrapsWithinTheCellsInnerMargin) {
  struct Case {
    std::string text;
    int width;  // the text may take width - 75
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"abcd", 395, {"abcd"}},                // 320 fits 395 - 50 - 25
      {"abcde", 395, {"abcd", "e"}},          // a word wider than the cell breaks at its edge
      {"ab cd ef", 395, {"ab", "cd", "ef"}},  // at the blanks
      {"ab  cd", 1000, {"ab  cd"}},           // as typed when it fits
      {"abc   de", 395, {"abc", "de"}},       // the blanks of a break are dropped
      {"ščřžý", 395, {"ščřž", "ý"}},          // characters, not bytes
      {"ab", 75, {"a", "b"}},                 // no room at all: still nothing lost
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    printer.page().texts.clear();
    printer.SetCurrentX(1000);
    printer.SetCurrentY(2100);
    const int height = CellHeight(run, c.text, c.width, 300);
    EXPECT_EQ(height, c.lines.size() == 1 ? 300 : 160 * static_cast<int>(c.lines.size()) + 100);
    PrintCell(run, c.text, c.width, height, kAlignLeft, false, false);
    const auto& texts = printer.page().texts;
    ASSERT_EQ(texts.size(), c.lines.size());
    for (size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(texts[i].text, c.lines[i]);
      EXPECT_EQ(texts[i].x, 1050);
      // The last line 50 above the bottom frame, the others stacked above.
      EXPECT_EQ(texts[i].y, 2100 + height - 50 - 160.0 * static_cast<double>(texts.size() - i));
    }
  }
}

TEST_F(EngineTest, TextNotLowerThanTheCellLeavesTheFrameOnly) {
  PrintCell(run, "x", 1000, 160, kAlignLeft, false, false);  // 160 is not less than 160
  EXPECT_TRUE(printer.page().texts.empty());
  EXPECT_EQ(printer.page().lines.size(), 4u);
  PrintCell(run, "x", 1000, 161, kAlignLeft, false, false);
  EXPECT_EQ(printer.page().texts.size(), 1u);
}

TEST_F(EngineTest, PositionAfterACell) {
  struct Case {
    bool advance, newline;
    double x, y;
  };
  const Case cases[] = {
      {true, false, 2500, 2100}, {false, false, 1500, 2100}, {false, true, 1000, 2400}, {true, true, 1000, 2400}};
  for (const auto& c : cases) {
    printer.SetCurrentX(1500);
    printer.SetCurrentY(2100);
    PrintCell(run, "t", 1000, 300, kAlignLeft, c.advance, c.newline);
    EXPECT_EQ(printer.CurrentX(), c.x) << c.advance << c.newline;
    EXPECT_EQ(printer.CurrentY(), c.y) << c.advance << c.newline;
  }
}

TEST_F(EngineTest, PageBreaksOneTwipPastTheBottomReserve) {
  // Ends exactly 1500 above PH: stays.
  printer.SetCurrentY(16838 - 1500 - 300);
  printer.SetCurrentX(5000);
  AdvanceLine(run, 300);
  EXPECT_EQ(printer.doc().pages.size(), 1u);
  EXPECT_EQ(printer.CurrentY(), 16838 - 1500);
  EXPECT_EQ(printer.CurrentX(), 1000);

  // One twip more: new page with its header, then y = 2100 at x = 1000.
  printer.SetCurrentY(16838 - 1500 - 300 + 1);
  AdvanceLine(run, 300);
  ASSERT_EQ(printer.doc().pages.size(), 2u);
  EXPECT_EQ(printer.CurrentY(), 2100);
  EXPECT_EQ(printer.CurrentX(), 1000);
  EXPECT_NE(printer.page().Find("2. stránka"), nullptr);
  ASSERT_FALSE(fs.progress.log.empty());
  EXPECT_EQ(fs.progress.log.back(), "text:Tisk 2. stránky\r\n1. kopie z 1");
}

TEST_F(EngineTest, HeaderShowsStationAndPageAndRestoresTheStyle) {
  ws.config.general.JmenoStanice = "Čerpací stanice Dolní Lhota 30";  // 30 characters
  printer.SetFontSize(7.8);                                           // the printer may report a size near the one set
  printer.SetDrawWidth(6);
  PrintPageHeader(run);
  const auto& page = printer.page();
  ASSERT_EQ(page.texts.size(), 2u);
  EXPECT_EQ(page.texts[0].text, "VEXA Init stanice: Čerpací stanice Doln");
  EXPECT_EQ(page.texts[0].x, 1050);
  EXPECT_EQ(page.texts[0].fontSize, 14);
  EXPECT_EQ(page.texts[0].fontName, "Arial CE");
  EXPECT_EQ(page.texts[1].text, "1. stránka");
  EXPECT_EQ(page.texts[1].x, 11906 - 1000 - 10 * 14 * 10 - 50);  // right-aligned
  // Both cells frame the same rectangle across the page, 400 high, at 1500.
  const auto cells = Cells(page.lines);
  ASSERT_EQ(cells.size(), 2u);
  for (const auto& c : cells) {
    EXPECT_EQ(c.x0, 1000);
    EXPECT_EQ(c.y0, 1500);
    EXPECT_EQ(c.x1, 11906 - 1000);
    EXPECT_EQ(c.y1, 1900);
  }
  EXPECT_EQ(page.lines[0].width, 15);
  EXPECT_EQ(printer.FontSize(), 8);  // rounded when kept
  EXPECT_EQ(printer.DrawWidth(), 6);
  EXPECT_EQ(printer.CurrentX(), 1000);
  EXPECT_EQ(printer.CurrentY(), 2100);
}

TEST_F(EngineTest, SectionTitleIsAFullWidthCellOfTwelvePoints) {
  PrintSectionTitle(run, "Všeobecné");
  const auto cells = Cells(printer.page().lines);
  ASSERT_EQ(cells.size(), 1u);
  EXPECT_EQ(cells[0].x1 - cells[0].x0, 11906 - 2000);
  EXPECT_EQ(cells[0].y1 - cells[0].y0, 240 + 100);
  EXPECT_EQ(printer.page().lines[0].width, 10);
  EXPECT_EQ(printer.page().texts[0].fontSize, 12);
  EXPECT_EQ(printer.CurrentY(), 2100 + 340);
}

TEST_F(EngineTest, BreakInsideATableKeepsTheBodyStyle) {
  printer.SetCurrentY(16838 - 1500 - 300 + 1);
  PrintCell(run, "a", 300, 300, kAlignLeft, false, true);  // breaks
  PrintCell(run, "b", 300, 300, kAlignLeft, false, true);
  const auto& page = printer.page();
  ASSERT_NE(page.Find("b"), nullptr);
  EXPECT_EQ(page.Find("b")->fontSize, 8);
  EXPECT_EQ(page.lines.back().width, 1);
  EXPECT_EQ(page.Find("b")->y, 2100 + 300 - 160 - 50);
}

TEST_F(EngineTest, PageTooShortForTheHeaderDoesNotLoop) {
  printer.ph = 3000;  // the header alone ends at 2100 + 1500 > PH
  AdvanceLine(run, 300);
  PrintCell(run, "x", 300, 300, kAlignLeft, false, true);
  EXPECT_LE(printer.doc().pages.size(), 3u);
}

TEST(PrintReport, EveryCopyIsADocumentOfItsOwnFromPageOne) {
  Workspace ws;
  FakeServices fs;
  RecordingPrinter printer;
  printer.ph = 30000;  // the whole report on one page
  printer.copiesAnswer = 3;
  EXPECT_EQ(PrintReport(ws, fs.sv, printer), PrintOutcome::Printed);
  EXPECT_EQ(printer.copiesSet, 1);
  ASSERT_EQ(printer.docs.size(), 3u);
  for (size_t d = 0; d < 3; ++d) {
    EXPECT_TRUE(printer.doc(d).ended);
    EXPECT_EQ(printer.doc(d).pages.size(), 1u);
    EXPECT_EQ(printer.doc(d).pages[0].texts.at(1).text, "1. stránka");
    EXPECT_EQ(printer.AllTexts(d), printer.AllTexts(0));
  }
  const std::vector<std::string> expectedLog = {
      "show:Příprava tisku ...|storno", "text:Tisk 1. stránky\r\n1. kopie z 3", "text:Tisk 1. stránky\r\n2. kopie z 3",
      "text:Tisk 1. stránky\r\n3. kopie z 3", "close"};
  EXPECT_EQ(fs.progress.log, expectedLog);
  EXPECT_TRUE(fs.progress.stornoVisible);
  EXPECT_GT(fs.loop.yields, 0);
}

TEST(PrintReport, CancelledDialogPrintsNothing) {
  Workspace ws;
  FakeServices fs;
  RecordingPrinter printer;
  printer.copiesAnswer = std::nullopt;
  EXPECT_EQ(PrintReport(ws, fs.sv, printer), PrintOutcome::Cancelled);
  EXPECT_TRUE(printer.docs.empty());
  EXPECT_EQ(fs.progress.log, std::vector<std::string>{"close"});
}

// A printer that fails while drawing ends the run silently; a job the printer
// does not take is told with the reason.
TEST(PrintReport, FailuresEndTheRun) {
  const Failure refused = Failure::Of(FailureKind::Device, "tiskárna Kancl: tisková fronta úlohu nepřijala");
  struct Case {
    int failAfter, refuseDocument;
    bool refuseJob;
    std::optional<Failure> why;
    std::size_t documents;
    std::string reason;  // empty: no message
  };
  const Case cases[] = {
      {0, 0, false, std::nullopt, 1, ""},  // drawing fails: the second copy is skipped
      {10, 0, false, std::nullopt, 1, ""},
      {150, 0, false, std::nullopt, 1, ""},
      {-1, 1, false, refused, 1, refused.Reason()},  // the first copy is refused: the second is not drawn
      {-1, 2, false, refused, 2, refused.Reason()},
      {-1, 0, true, std::nullopt, 2, "tiskárna tiskovou úlohu nepřijala."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.failAfter) + " / " + std::to_string(c.refuseDocument));
    Workspace ws;
    FakeServices fs;
    RecordingPrinter printer;
    printer.copiesAnswer = 2;
    printer.failAfter = c.failAfter;
    printer.refuseDocument = c.refuseDocument;
    printer.refuseJob = c.refuseJob;
    printer.why = c.why;
    EXPECT_EQ(PrintReport(ws, fs.sv, printer), PrintOutcome::Failed);
    ASSERT_EQ(printer.docs.size(), c.documents);
    if (c.reason.empty()) {
      EXPECT_FALSE(printer.doc().ended);
      EXPECT_TRUE(printer.doc().aborted);
      EXPECT_TRUE(fs.messages.shown.empty());
    } else {
      EXPECT_EQ(fs.messages.texts(), std::vector<std::string>{std::string(texts::kMsgPrintFailed) + "\n" + c.reason});
    }
    EXPECT_EQ(fs.progress.log.back(), "close");
  }
}

TEST(PrintReport, StornoDoesNotStopPrinting) {
  Workspace ws;
  ws.CancelRequested = true;
  FakeServices fs;
  RecordingPrinter printer;
  // Storno sets the flag while the report runs; the report never reads it.
  struct StornoProgress : test::FakeProgress {
    Workspace* ws = nullptr;
    void SetText(const std::string& t) override {
      FakeProgress::SetText(t);
      ws->CancelRequested = true;
    }
  } progress;
  progress.ws = &ws;
  Services sv{fs.messages, progress, fs.loop};
  EXPECT_EQ(PrintReport(ws, sv, printer), PrintOutcome::Printed);
  const auto texts = printer.AllTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Telefonní čísla"), texts.end());
  EXPECT_EQ(texts.back(), "0");  // TCUdalost of T8, the report's last cell
  EXPECT_TRUE(printer.doc().ended);
}

TEST(PrintReport, ShortPagesBreakWithAHeaderOnEach) {
  Workspace ws;
  ws.config.general.JmenoStanice = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";  // 30 characters
  FakeServices fs;
  RecordingPrinter printer;
  printer.ph = 9000;
  printer.copiesAnswer = 2;
  ASSERT_EQ(PrintReport(ws, fs.sv, printer), PrintOutcome::Printed);
  for (size_t d = 0; d < 2; ++d) {
    const auto& pages = printer.doc(d).pages;
    ASSERT_GE(pages.size(), 3u);
    for (size_t p = 0; p < pages.size(); ++p) {
      SCOPED_TRACE(p);
      ASSERT_GE(pages[p].texts.size(), 2u);
      EXPECT_EQ(pages[p].texts[0].text, "VEXA Init stanice: ABCDEFGHIJKLMNOPQRST");
      EXPECT_EQ(pages[p].texts[1].text, std::to_string(p + 1) + ". stránka");
      // Every line starts above the bottom reserve.
      const auto cells = Cells(pages[p].lines);
      for (const auto& c : cells) EXPECT_LE(c.y0, 9000 - 1500);
      // The header frames 1500..1900; the page's lines continue from 2100 (or
      // lower, when the break came just before a section's gap).
      ASSERT_GE(cells.size(), 3u);
      EXPECT_EQ(cells[0].y0, 1500);
      EXPECT_EQ(cells[0].y1, 1900);
      EXPECT_GE(cells[2].y0, 2100);
      EXPECT_EQ(cells[2].x0, 1000);
    }
  }
  // The progress reports every page of every copy.
  const auto& log = fs.progress.log;
  EXPECT_NE(std::find(log.begin(), log.end(), "text:Tisk 3. stránky\r\n2. kopie z 2"), log.end());
}

}  // namespace
}  // namespace vexa
