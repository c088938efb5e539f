// The report's printer on Qt: QPainter on a QPrinter, with the report's twips
// converted at the printer's resolution.
//
// Copies. The report prints every copy as a document of its own, pages
// numbered from 1. On a printer each copy is a print job of its own (one
// QPainter session per copy). A PDF file or the print preview cannot hold
// several QPainter sessions, so there the copies follow one another in the
// one file, each again starting with its page 1: the file the user named
// holds everything, and printing it gives the same sheets.
//
// Pages. When the print dialog chooses a page range, the report is laid out
// whole (page numbers and breaks as always) and only the pages of the range
// reach the paper, in every copy.
//
// Page geometry: PW and PH are the printable area of the page as the printer
// reports it (the page's margins are set to the least the printer allows); a
// PDF has no unprintable border, so there they are the page.
#pragma once

#include <QFont>
#include <QPageRanges>
#include <QPainter>
#include <QString>
#include <optional>

#include "report/engine.h"
#include "report/printer.h"

class QPrinter;
class QWidget;

namespace vexa::qt {

class QtReportPrinter : public ReportPrinter {
 public:
  // With dialogParent set, AskCopies shows the print dialog and takes its
  // copies and page range; otherwise it answers `fixedCopies` (command line,
  // preview) and prints the pages set by SetPageRanges (all by default).
  QtReportPrinter(QPrinter& printer, QWidget* dialogParent, int fixedCopies = 1);
  ~QtReportPrinter() override;
  QtReportPrinter(const QtReportPrinter&) = delete;
  QtReportPrinter& operator=(const QtReportPrinter&) = delete;

  // Copies share one QPainter session (PDF file, preview); set automatically
  // for PDF output.
  void SetCopiesInOneSession(bool on) { oneSession_ = on; }
  // The pages that reach the paper; empty: all.
  void SetPageRanges(const QPageRanges& pages) { pages_ = pages; }
  // Ends the painter session still open (the PDF file is written); false when
  // the printer reported a failure.
  bool Finish();

  std::optional<int> AskCopies() override;
  void SetCopies(int copies) override;
  void BeginDocument() override;
  void EndDocument() override;
  void EndJob() override { Finish(); }
  void AbortDocument() override;
  void NewPage() override;
  int Page() const override { return page_; }
  double PageWidth() const override { return pageWidth_; }
  double PageHeight() const override { return pageHeight_; }
  double CurrentX() const override { return x_; }
  double CurrentY() const override { return y_; }
  void SetCurrentX(double x) override { x_ = x; }
  void SetCurrentY(double y) override { y_ = y; }
  void SetFontName(const std::string& name) override;
  double FontSize() const override { return fontSize_; }
  void SetFontSize(double points) override;
  int DrawWidth() const override { return drawWidth_; }
  void SetDrawWidth(int pixels) override { drawWidth_ = pixels < 1 ? 1 : pixels; }
  double TextWidth(const std::string& utf8) const override;
  double TextHeight(const std::string& utf8) const override;
  void Line(double x1, double y1, double x2, double y2) override;
  void PrintText(const std::string& utf8) override;
  void PlaceGraph(double x, double y, double width, double height, const AnalogScale& scale, const GraphInput& in,
                  char decimalSeparator) override;
  bool Failed() const override;
  std::optional<Failure> LastFailure() const override;

  double Dpi() const { return dpi_; }

 private:
  double Px(double twips) const { return twips * dpi_ / 1440.0; }
  // Whether the page being laid out reaches the paper.
  bool Wanted() const { return pages_.isEmpty() || pages_.contains(page_); }
  double Twips(double px) const { return px * 1440.0 / dpi_; }
  void UpdateFont();
  // Starts a sheet for the page being laid out, when it is wanted and the
  // current sheet already holds one.
  void StartSheetIfWanted();
  void ReadGeometry();

  QPrinter& printer_;
  QWidget* dialogParent_;
  int fixedCopies_;
  QPainter painter_;
  bool oneSession_ = false;
  bool failed_ = false;
  int page_ = 0;  // the report's page number, of the current copy
  QPageRanges pages_;
  bool sheetUsed_ = false;  // the printer's current sheet holds a wanted page
  double dpi_ = 1200;
  double pageWidth_ = 0, pageHeight_ = 0;
  double x_ = 0, y_ = 0;
  QString family_;
  double fontSize_ = 10;
  QFont font_;
  int drawWidth_ = 1;
};

// The report through the print dialog on `printer` (the dialog asks the
// number of copies; Qt's PDF output stays available there), with the
// progress window of `sv`.
PrintOutcome PrintReportWithDialog(Workspace& ws, Services& sv, QPrinter& printer, QWidget* parent);

// The report as a PDF file, A4, without any window or message: `copies`
// copies one after another in the file, each from its page 1; of each only
// the pages in `pages` (empty: all).
PrintOutcome PrintReportToPdf(Workspace& ws, const QString& fileName, int copies, const QPageRanges& pages = {});

// The print preview: one copy exactly as it would be printed on `printer`.
void ShowPrintPreview(Workspace& ws, QPrinter& printer, QWidget* parent);

}  // namespace vexa::qt
