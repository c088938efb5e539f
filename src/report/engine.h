// The report's layout engine: the print run with its copies and progress
// texts, and the primitives every line of the report is built from: a framed
// text cell, a line advance with automatic page break, the page header and
// the section title.
#pragma once

#include <string>
#include <vector>

#include "platform/services.h"
#include "texts/texts.h"
#include "report/printer.h"
#include "workspace/workspace.h"

namespace vexa {

// Page geometry in twips.
inline constexpr int kReportLeft = 1000;           // every line starts here
inline constexpr int kReportRightMargin = 1000;    // full-width cells are PW - 2000
inline constexpr int kReportHeaderTop = 1500;      // the header's line
inline constexpr int kReportBottomReserve = 1500;  // a line may end no nearer to PH
inline constexpr int kReportBottomMargin = 1000;   // the analog graph ends no nearer to PH
inline constexpr int kReportBodyTop = 2100;        // first line below a page's header
inline constexpr int kReportTextInset = 50;        // text to frame: the aligned side, top and bottom
inline constexpr int kReportTextClearance = 25;    // text to frame at least, on the other side
inline constexpr const char* kReportFont = "Arial CE";

enum CellAlign { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2 };

// One copy being printed.
struct ReportRun {
  ReportPrinter& printer;
  ProgressWindow& progress;
  EventLoop& loop;
  const Workspace& ws;
  int copyIndex = 1;
  int copyCount = 1;
  bool inHeader = false;      // the header never breaks a page itself
  bool breakPending = false;  // the next section title starts a new page

  bool Stopped() const { return printer.Failed(); }
};

enum class PrintOutcome { Printed, Cancelled, Failed };

// A finished document that was not taken (the print queue refused the job)
// is shown as texts::kMsgPrintFailed with the printer's reason beneath.
// The whole print run: the printer dialog, then every copy as a document of
// its own with pages numbered from 1, under the progress window. Printing
// does not consult CancelRequested; Storno only hides the window. A failure
// while drawing ends the run without a message; one when a document is
// handed over is shown as texts::kMsgPrintFailed with the printer's reason.
PrintOutcome PrintReport(Workspace& ws, Services& sv, ReportPrinter& printer);


// A framed cell at the print position. A text too wide for the cell wraps
// onto further lines at its blanks (a word wider than the cell breaks at the
// cell's edge); the last line sits 50 twips above the bottom frame line, a
// line is 50 twips from the frame it is aligned to and at least 25 from the
// other (row labels such as "O1" fit a 300 cell). Lines that do not fit into
// `height` are not printed: CellHeight gives the height that shows them all.
void PrintCell(ReportRun& run, const std::string& text, int width, int height, int align, bool advance, bool newline);
// The lines a text takes in a cell of `width` in the current font.
std::vector<std::string> WrapText(const ReportPrinter& printer, const std::string& text, int width);
// The height a cell of `width` needs to show the whole text: at least
// `minHeight`, more when the text wraps.
int CellHeight(const ReportRun& run, const std::string& text, int width, int minHeight);

// One cell of a row; width 0 runs to the right margin.
struct RowCell {
  std::string text;
  int width;
  int align;
};
// A table's column heads, printed above its first row and again at the top
// of every page the table continues on.
struct ReportTable {
  std::vector<RowCell> heads;
  int headLineWidth;
  int headsPage = 0;  // the page whose top carries the heads; 0 none yet
};
// A row of framed cells, all as high as its tallest text needs (at least
// `minHeight`), then a line advance. A row that would end within the bottom
// reserve starts on a new page (so its own advance never leaves an empty
// page behind); in a table, heads go above it where needed.
void PrintRow(ReportRun& run, const std::vector<RowCell>& cells, int minHeight);
void PrintTableRow(ReportRun& run, ReportTable& table, const std::vector<RowCell>& cells, int minHeight);
// The height PrintRow gives these cells starting at the left margin.
int RowHeight(const ReportRun& run, const std::vector<RowCell>& cells, int minHeight);
// Starts a new page with its header.
void BreakPage(ReportRun& run);
// Moves to the next line, or starts a new page with its header when the line
// would end within 1500 twips of the page's bottom.
void AdvanceLine(ReportRun& run, int dy);
void PrintPageHeader(ReportRun& run);
// A title that would be left at a page's bottom without `keepWith` twips of
// its section below it starts on a new page.
void PrintSectionTitle(ReportRun& run, const std::string& text, int keepWith = 0);
// The 200 twips after a section. When they would end the page, the next
// section's title starts the new page: the report never ends with a page
// that holds only its header.
void EndSection(ReportRun& run);

// The room from the print position to the right margin.
int RestWidth(const ReportRun& run);
// A cell of the full width between the margins that ends its line, as high
// as its text needs.
void PrintFullLine(ReportRun& run, const std::string& text);

}  // namespace vexa
