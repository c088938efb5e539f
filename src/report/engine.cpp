#include "report/engine.h"

#include <cmath>
#include <optional>
#include <vector>

#include "codec/cp1250.h"
#include "codec/text.h"
#include "platform/progress.h"
#include "texts/texts.h"
#include "report/sections.h"

namespace vexa {
namespace {

constexpr int kHeaderFontSize = 14;
constexpr int kHeaderLineWidth = 15;
constexpr int kHeaderHeight = 400;
constexpr int kHeaderGap = 200;
constexpr int kTitleFontSize = 12;
constexpr int kTitleLineWidth = 10;
constexpr int kSectionGap = 200;

int WholeTwips(double v) {
  if (!std::isfinite(v)) return 0;
  if (v > 1e9) return 1000000000;
  if (v < -1e9) return -1000000000;
  return static_cast<int>(std::nearbyint(v));
}

std::string ToText(int v) { return std::to_string(v); }

std::string TrimRight(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace

std::vector<std::string> WrapText(const ReportPrinter& printer, const std::string& text, int width) {
  const double room = width - kReportTextInset - kReportTextClearance;
  if (printer.TextWidth(text) <= room) return {text};
  std::vector<std::string> lines;
  std::string line;
  bool afterBreak = false;  // blanks where a line was broken are dropped
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = ReadUtf8Char(text, i).size;
    const std::string ch = text.substr(i, n);
    i += n;
    if (line.empty() && afterBreak && ch == " ") continue;
    // Even a single character wider than the cell goes onto a line: nothing
    // is lost, it only comes near the frame.
    if (line.empty() || printer.TextWidth(line + ch) <= room) {
      line += ch;
      continue;
    }
    afterBreak = true;
    if (ch == " ") {
      lines.push_back(TrimRight(line));
      line.clear();
      continue;
    }
    // Break at the last blank before the word that does not fit; a word
    // wider than the whole cell breaks at the cell's edge.
    const std::size_t blank = line.rfind(' ');
    const std::string head = blank == std::string::npos ? std::string() : TrimRight(line.substr(0, blank));
    if (head.empty()) {
      lines.push_back(line);
      line = ch;
      continue;
    }
    lines.push_back(head);
    line = line.substr(blank + 1);
    if (printer.TextWidth(line + ch) <= room) {
      line += ch;
    } else {
      lines.push_back(line);
      line = ch;
    }
  }
  if (!line.empty() || lines.empty()) lines.push_back(line);
  return lines;
}

int CellHeight(const ReportRun& run, const std::string& text, int width, int minHeight) {
  const std::vector<std::string> lines = WrapText(run.printer, text, width);
  if (lines.size() < 2) return minHeight;
  const int needed =
      WholeTwips(static_cast<double>(lines.size()) * run.printer.TextHeight(text)) + 2 * kReportTextInset;
  return needed > minHeight ? needed : minHeight;
}

int RestWidth(const ReportRun& run) {
  return WholeTwips(run.printer.PageWidth() - kReportRightMargin - run.printer.CurrentX());
}

void PrintCell(ReportRun& run, const std::string& text, int width, int height, int align, bool advance, bool newline) {
  ReportPrinter& p = run.printer;
  if (run.Stopped()) return;
  const double x0 = p.CurrentX();
  const double y0 = p.CurrentY();
  const double x1 = x0 + width;
  const double y1 = y0 + height;

  p.Line(x0, y0, x1, y0);
  p.Line(x1, y0, x1, y1);
  p.Line(x1, y1, x0, y1);
  p.Line(x0, y1, x0, y0);

  // The lines stack upwards from 50 above the bottom frame line; as many as
  // are lower together than the cell are printed.
  const std::vector<std::string> lines = WrapText(p, text, width);
  const double lineHeight = p.TextHeight(text);
  std::size_t shown = lines.size();
  while (shown > 0 && !(static_cast<double>(shown) * lineHeight < std::fabs(y1 - y0))) --shown;
  for (std::size_t k = 0; k < shown; ++k) {
    const std::string& t = lines[k];
    const double tw = p.TextWidth(t);
    double x = x0 + kReportTextInset;
    if (align == kAlignRight) x = x1 - tw - kReportTextInset;
    if (align == kAlignCentre) x = x0 + (x1 - x0) / 2 - tw / 2;
    p.SetCurrentX(x);
    p.SetCurrentY(y1 - kReportTextInset - static_cast<double>(shown - k) * lineHeight);
    p.PrintText(t);
  }

  p.SetCurrentX(advance ? x1 : x0);
  p.SetCurrentY(y0);
  if (newline) {
    AdvanceLine(run, height);
    p.SetCurrentX(kReportLeft);
  }
}

void AdvanceLine(ReportRun& run, int dy) {
  ReportPrinter& p = run.printer;
  if (run.Stopped()) return;
  // The header itself always fits: on a page too short for it a break would
  // only start another page with the same header, without end.
  if (!run.inHeader && p.CurrentY() + dy + kReportBottomReserve > p.PageHeight()) {
    BreakPage(run);
  } else {
    p.SetCurrentY(p.CurrentY() + dy);
  }
  p.SetCurrentX(kReportLeft);
}

void BreakPage(ReportRun& run) {
  ReportPrinter& p = run.printer;
  if (run.Stopped()) return;
  p.NewPage();
  if (run.Stopped()) return;
  run.progress.SetText(texts::PrintProgressText(p.Page(), run.copyIndex, run.copyCount));
  run.loop.Yield();
  PrintPageHeader(run);
}

namespace {

// The cells' widths with the last one running to the right margin when 0.
std::vector<int> RowWidths(const ReportRun& run, const std::vector<RowCell>& cells) {
  std::vector<int> widths;
  int x = kReportLeft;
  for (const RowCell& c : cells) {
    widths.push_back(c.width != 0 ? c.width : WholeTwips(run.printer.PageWidth() - kReportRightMargin - x));
    x += widths.back();
  }
  return widths;
}

// Whether a row of `height` starting at the print position ends within the
// bottom reserve, on a page where moving it helps.
bool NeedsNewPage(const ReportRun& run, int height) {
  const ReportPrinter& p = run.printer;
  return p.CurrentY() > kReportBodyTop && p.CurrentY() + height + kReportBottomReserve > p.PageHeight();
}

void PrintRowAt(ReportRun& run, const std::vector<RowCell>& cells, const std::vector<int>& widths, int height) {
  for (std::size_t i = 0; i < cells.size() && !run.Stopped(); ++i) {
    const bool last = i + 1 == cells.size();
    PrintCell(run, cells[i].text, widths[i], height, cells[i].align, !last, last);
  }
}

}  // namespace

int RowHeight(const ReportRun& run, const std::vector<RowCell>& cells, int minHeight) {
  const std::vector<int> widths = RowWidths(run, cells);
  int height = minHeight;
  for (std::size_t i = 0; i < cells.size(); ++i) height = CellHeight(run, cells[i].text, widths[i], height);
  return height;
}

void PrintRow(ReportRun& run, const std::vector<RowCell>& cells, int minHeight) {
  if (run.Stopped() || cells.empty()) return;
  const int height = RowHeight(run, cells, minHeight);
  if (NeedsNewPage(run, height)) BreakPage(run);
  run.printer.SetCurrentX(kReportLeft);
  PrintRowAt(run, cells, RowWidths(run, cells), height);
}

void PrintTableRow(ReportRun& run, ReportTable& table, const std::vector<RowCell>& cells, int minHeight) {
  ReportPrinter& p = run.printer;
  if (run.Stopped() || cells.empty()) return;
  const int height = RowHeight(run, cells, minHeight);
  const int headsHeight = RowHeight(run, table.heads, minHeight);
  // The heads stay with the row below them.
  if (NeedsNewPage(run, height + (table.headsPage != p.Page() ? headsHeight : 0))) BreakPage(run);
  // The heads' own line advance may end the page: then they go again at the
  // top of the next (once; a page too short for them gets them only once).
  for (int tries = 0; tries < 2 && table.headsPage != p.Page() && !run.Stopped(); ++tries) {
    const int page = p.Page();
    const int bodyWidth = p.DrawWidth();
    p.SetDrawWidth(table.headLineWidth);
    p.SetCurrentX(kReportLeft);
    PrintRowAt(run, table.heads, RowWidths(run, table.heads), headsHeight);
    p.SetDrawWidth(bodyWidth);
    table.headsPage = page;
  }
  if (run.Stopped()) return;
  p.SetCurrentX(kReportLeft);
  PrintRowAt(run, cells, RowWidths(run, cells), height);
}

void PrintPageHeader(ReportRun& run) {
  ReportPrinter& p = run.printer;
  if (run.Stopped()) return;
  const double keptSize = std::round(p.FontSize());
  const int keptWidth = p.DrawWidth();
  const bool wasInHeader = run.inHeader;
  run.inHeader = true;

  p.SetFontName(kReportFont);
  p.SetFontSize(kHeaderFontSize);
  p.SetCurrentX(kReportLeft);
  p.SetCurrentY(kReportHeaderTop);
  p.SetDrawWidth(kHeaderLineWidth);
  const int width = WholeTwips(p.PageWidth() - kReportLeft - kReportRightMargin);
  PrintCell(run, texts::ReportStationHeader(kAppTitle, Utf8Left(run.ws.config.general.JmenoStanice, 20)), width,
            kHeaderHeight, kAlignLeft, false, false);
  PrintCell(run, texts::ReportPageNumber(ToText(p.Page())), width, kHeaderHeight, kAlignRight, false, true);

  p.SetFontSize(keptSize);
  p.SetDrawWidth(keptWidth);
  AdvanceLine(run, kHeaderGap);
  run.inHeader = wasInHeader;
}

void PrintSectionTitle(ReportRun& run, const std::string& text, int keepWith) {
  ReportPrinter& p = run.printer;
  if (run.Stopped()) return;
  p.SetCurrentX(kReportLeft);
  p.SetFontSize(kTitleFontSize);
  p.SetDrawWidth(kTitleLineWidth);
  const int height = WholeTwips(p.TextHeight(text) + 100);
  if (run.breakPending || NeedsNewPage(run, height + keepWith)) {
    run.breakPending = false;
    BreakPage(run);
  }
  PrintCell(run, text, WholeTwips(p.PageWidth() - kReportLeft - kReportRightMargin), height, kAlignLeft, false, true);
}

void EndSection(ReportRun& run) {
  ReportPrinter& p = run.printer;
  if (run.Stopped()) return;
  if (p.CurrentY() + kSectionGap + kReportBottomReserve > p.PageHeight()) {
    run.breakPending = true;
    p.SetCurrentX(kReportLeft);
  } else {
    AdvanceLine(run, kSectionGap);
  }
}

void PrintFullLine(ReportRun& run, const std::string& text) {
  PrintRow(run, {{text, WholeTwips(run.printer.PageWidth() - kReportLeft - kReportRightMargin), kAlignLeft}},
           kReportRowHeight);
}

PrintOutcome PrintReport(Workspace& ws, Services& sv, ReportPrinter& printer) {
  const std::optional<int> chosen = printer.AskCopies();
  if (!chosen) {
    CloseProgress(sv);
    return PrintOutcome::Cancelled;
  }
  ShowProgress(ws, sv, texts::kMsgPreparingPrint, true);
  // 16-bit, as the dialog hands it over.
  const int copyCount = *chosen < 0 ? 0 : (*chosen > 32767 ? 32767 : *chosen);
  printer.SetCopies(1);  // each copy is printed as a document of its own

  ReportRun run{printer, sv.progress, sv.loop, ws};
  run.copyCount = copyCount;
  bool handedOver = false;  // a document (or the last) was handed to the printer
  for (int copy = 1; copy <= copyCount && !printer.Failed(); ++copy) {
    handedOver = false;
    run.copyIndex = copy;
    run.breakPending = false;
    printer.BeginDocument();
    if (printer.Failed()) break;
    sv.progress.SetText(texts::PrintProgressText(printer.Page(), copy, copyCount));
    PrintPageHeader(run);
    for (auto* section : {PrintGeneralSection, PrintSmsSection, PrintInputsSection, PrintOutputsSection,
                          PrintAnalogSection, PrintPhonesSection}) {
      if (printer.Failed()) break;
      section(run);
      sv.loop.Yield();
    }
    if (printer.Failed()) break;
    printer.EndDocument();
    handedOver = true;
  }
  if (!printer.Failed()) printer.EndJob();
  const bool failed = printer.Failed();
  if (failed) printer.AbortDocument();
  CloseProgress(sv);
  if (failed && handedOver) {
    // The drawing went through; the printer did not take the job.
    const Failure why =
        printer.LastFailure().value_or(Failure::Of(FailureKind::Device, texts::kPrintJobRefused));
    sv.messages.Show(Icon::Error, WithReason(texts::kMsgPrintFailed, why));
  }
  return failed ? PrintOutcome::Failed : PrintOutcome::Printed;
}

}  // namespace vexa
