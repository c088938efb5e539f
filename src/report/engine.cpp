#include "report/engine.h"

#include <cmath>
#include <optional>

#include "codec/cp1250.h"
#include "platform/progress.h"
#include "report/sections.h"

namespace vexa {
namespace {

constexpr int kHeaderFontSize = 14;
constexpr int kHeaderLineWidth = 15;
constexpr int kHeaderHeight = 400;
constexpr int kHeaderGap = 200;
constexpr int kTitleFontSize = 12;
constexpr int kTitleLineWidth = 10;
constexpr int kTextInset = 50;  // text to frame, left, right and bottom

// The longest beginning of text that is narrower than width.
std::string FitText(const ReportPrinter& printer, const std::string& text, int width) {
  if (printer.TextWidth(text) < width) return text;
  std::string t;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = ReadUtf8Char(text, i).size;
    std::string next = t + text.substr(i, n);
    if (!(printer.TextWidth(next) < width)) break;
    t = std::move(next);
    i += n;
  }
  return t;
}

int WholeTwips(double v) {
  if (!std::isfinite(v)) return 0;
  if (v > 1e9) return 1000000000;
  if (v < -1e9) return -1000000000;
  return static_cast<int>(std::nearbyint(v));
}

std::string ToText(int v) { return std::to_string(v); }

}  // namespace

std::string ProgressText(int page, int copyIndex, int copyCount) {
  return "Tisk " + ToText(page) + ". stránky\r\n" + ToText(copyIndex) + ". kopie z " + ToText(copyCount);
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

  if (p.TextHeight(text) < std::fabs(y1 - y0)) {
    const std::string t = FitText(p, text, width);
    const double tw = p.TextWidth(t);
    double x = x0 + kTextInset;
    if (align == kAlignRight) x = x1 - tw - kTextInset;
    if (align == kAlignCentre) x = x0 + (x1 - x0) / 2 - tw / 2;
    p.SetCurrentX(x);
    p.SetCurrentY(y1 - p.TextHeight(t) - kTextInset);
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
    p.NewPage();
    if (run.Stopped()) return;
    run.progress.SetText(ProgressText(p.Page(), run.copyIndex, run.copyCount));
    run.loop.Yield();
    PrintPageHeader(run);
  } else {
    p.SetCurrentY(p.CurrentY() + dy);
  }
  p.SetCurrentX(kReportLeft);
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
  PrintCell(run, std::string(kAppTitle) + " stanice: " + Utf8Left(run.ws.config.general.JmenoStanice, 20), width,
            kHeaderHeight, kAlignLeft, false, false);
  PrintCell(run, ToText(p.Page()) + ". stránka", width, kHeaderHeight, kAlignRight, false, true);

  p.SetFontSize(keptSize);
  p.SetDrawWidth(keptWidth);
  AdvanceLine(run, kHeaderGap);
  run.inHeader = wasInHeader;
}

void PrintSectionTitle(ReportRun& run, const std::string& text) {
  ReportPrinter& p = run.printer;
  if (run.Stopped()) return;
  p.SetCurrentX(kReportLeft);
  p.SetFontSize(kTitleFontSize);
  p.SetDrawWidth(kTitleLineWidth);
  PrintCell(run, text, WholeTwips(p.PageWidth() - kReportLeft - kReportRightMargin),
            WholeTwips(p.TextHeight(text) + 100), kAlignLeft, false, true);
}

void PrintFullLine(ReportRun& run, const std::string& text) {
  PrintCell(run, text, WholeTwips(run.printer.PageWidth() - kReportLeft - kReportRightMargin), kReportRowHeight,
            kAlignLeft, false, true);
}

PrintOutcome PrintReport(Workspace& ws, Services& sv, ReportPrinter& printer) {
  const std::optional<int> chosen = printer.AskCopies();
  if (!chosen) {
    CloseProgress(sv);
    return PrintOutcome::Cancelled;
  }
  ShowProgress(ws, sv, "Příprava tisku ...", true);
  // 16-bit, as the dialog hands it over.
  const int copyCount = *chosen < 0 ? 0 : (*chosen > 32767 ? 32767 : *chosen);
  printer.SetCopies(1);  // each copy is printed as a document of its own

  ReportRun run{printer, sv.progress, sv.loop, ws};
  run.copyCount = copyCount;
  for (int copy = 1; copy <= copyCount && !printer.Failed(); ++copy) {
    run.copyIndex = copy;
    printer.BeginDocument();
    if (printer.Failed()) break;
    sv.progress.SetText(ProgressText(printer.Page(), copy, copyCount));
    PrintPageHeader(run);
    for (auto* section : {PrintGeneralSection, PrintSmsSection, PrintInputsSection, PrintOutputsSection,
                          PrintAnalogSection, PrintPhonesSection}) {
      if (printer.Failed()) break;
      section(run);
      sv.loop.Yield();
    }
    if (printer.Failed()) break;
    printer.EndDocument();
  }
  const bool failed = printer.Failed();
  if (failed) printer.AbortDocument();
  CloseProgress(sv);
  return failed ? PrintOutcome::Failed : PrintOutcome::Printed;
}

}  // namespace vexa
