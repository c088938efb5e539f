// The report's layout engine: the print run with its copies and progress
// texts, and the primitives every line of the report is built from: a framed
// text cell, a line advance with automatic page break, the page header and
// the section title.
#pragma once

#include <string>

#include "platform/services.h"
#include "report/printer.h"
#include "workspace/workspace.h"

namespace vexa {

// Page geometry in twips.
inline constexpr int kReportLeft = 1000;           // every line starts here
inline constexpr int kReportRightMargin = 1000;    // full-width cells are PW - 2000
inline constexpr int kReportHeaderTop = 1500;      // the header's line
inline constexpr int kReportBottomReserve = 1500;  // a line may end no nearer to PH
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
  bool inHeader = false;  // the header never breaks a page itself

  bool Stopped() const { return printer.Failed(); }
};

enum class PrintOutcome { Printed, Cancelled, Failed };

// The whole print run: the printer dialog, then every copy as a document of
// its own with pages numbered from 1, under the progress window. Printing
// does not consult CancelRequested; Storno only hides the window.
PrintOutcome PrintReport(Workspace& ws, Services& sv, ReportPrinter& printer);

// "Tisk 2. stránky\r\n1. kopie z 2"
std::string ProgressText(int page, int copyIndex, int copyCount);

// A framed cell at the print position; the text sits 50 twips above the
// bottom frame line and is cut to fit, never wrapped.
void PrintCell(ReportRun& run, const std::string& text, int width, int height, int align, bool advance, bool newline);
// Moves to the next line, or starts a new page with its header when the line
// would end within 1500 twips of the page's bottom.
void AdvanceLine(ReportRun& run, int dy);
void PrintPageHeader(ReportRun& run);
void PrintSectionTitle(ReportRun& run, const std::string& text);

// The room from the print position to the right margin.
int RestWidth(const ReportRun& run);
// A cell of the full width between the margins that ends its line.
void PrintFullLine(ReportRun& run, const std::string& text);

}  // namespace vexa
