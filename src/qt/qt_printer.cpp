#include "qt/qt_printer.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPen>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>

#include "texts/texts.h"
#include "qt/picture_surface.h"

namespace vexa::qt {
namespace {

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Neither messages nor a progress window: the preview and the command line.
class SilentMessages : public MessageBox {
 public:
  Answer Show(Icon, const std::string&, Buttons) override { return Answer::Ok; }
};
class SilentProgress : public ProgressWindow {
 public:
  void Show(const std::string&, bool) override {}
  void SetText(const std::string&) override {}
  void Close() override {}
};
class ProcessEventsLoop : public EventLoop {
 public:
  void Yield() override {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
  }
};

struct Quiet {
  SilentMessages messages;
  SilentProgress progress;
  ProcessEventsLoop loop;
  Services sv{messages, progress, loop};
};

}  // namespace

QtReportPrinter::QtReportPrinter(QPrinter& printer, QWidget* dialogParent, int fixedCopies)
    : printer_(printer), dialogParent_(dialogParent), fixedCopies_(fixedCopies), family_(ArialMetricFamily()) {
  ReadGeometry();
  UpdateFont();
}

QtReportPrinter::~QtReportPrinter() { Finish(); }

bool QtReportPrinter::Finish() {
  if (painter_.isActive() && !painter_.end()) failed_ = true;
  return !Failed();
}

void QtReportPrinter::ReadGeometry() {
  const int resolution = printer_.resolution();
  dpi_ = resolution > 0 ? resolution : 1200;
  const QRectF area = printer_.pageRect(QPrinter::DevicePixel);
  pageWidth_ = Twips(area.width());
  pageHeight_ = Twips(area.height());
}

std::optional<int> QtReportPrinter::AskCopies() {
  if (!dialogParent_) return fixedCopies_;
  QPrintDialog dialog(&printer_, dialogParent_);
  // Copies and a page range are asked; printing a selection makes no sense
  // for the report. Printing to a PDF file stays offered: on a desktop
  // without a configured printer it is often the only printer there is.
  printer_.setPrintRange(QPrinter::AllPages);
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize |
                    QAbstractPrintDialog::PrintPageRange);
  dialog.setMinMax(1, 999);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  pages_ = printer_.printRange() == QPrinter::PageRange ? printer_.pageRanges() : QPageRanges();
  return printer_.copyCount();
}

void QtReportPrinter::SetCopies(int copies) {
  printer_.setCopyCount(copies);
  printer_.setCollateCopies(false);
}

void QtReportPrinter::BeginDocument() {
  if (failed_) return;
  page_ = 1;
  if (!painter_.isActive()) {
    oneSession_ = oneSession_ || printer_.outputFormat() == QPrinter::PdfFormat;
    // The report lays itself out on the printable area with its own margins:
    // the page's margins are the least the printer allows (none for a PDF).
    const QPageLayout layout = printer_.pageLayout();
    printer_.setPageMargins(layout.minimumMargins(), layout.units());
    if (!painter_.begin(&printer_)) {
      failed_ = true;
      return;
    }
    ReadGeometry();
    UpdateFont();
    sheetUsed_ = false;
  }
  // The next copy in the same file goes onto a sheet of its own.
  StartSheetIfWanted();
}

void QtReportPrinter::StartSheetIfWanted() {
  if (!Wanted()) return;
  if (sheetUsed_ && !printer_.newPage()) {
    failed_ = true;
    return;
  }
  sheetUsed_ = true;
}

void QtReportPrinter::EndDocument() {
  if (failed_ || oneSession_) return;
  if (painter_.isActive() && !painter_.end()) failed_ = true;
}

void QtReportPrinter::AbortDocument() {
  if (!painter_.isActive()) return;
  if (!oneSession_) printer_.abort();
  painter_.end();
}

void QtReportPrinter::NewPage() {
  if (failed_ || !painter_.isActive()) {
    failed_ = true;
    return;
  }
  ++page_;
  StartSheetIfWanted();
}

void QtReportPrinter::SetFontName(const std::string& name) {
  // "Arial CE" is Arial with the Central European character set; here every
  // font carries all of Unicode.
  if (name == "Arial CE" || name == "Arial") {
    family_ = ArialMetricFamily();
  } else {
    family_ = FromUtf8(name);
  }
  UpdateFont();
}

void QtReportPrinter::SetFontSize(double points) {
  fontSize_ = points > 0 ? points : 1;
  UpdateFont();
}

void QtReportPrinter::UpdateFont() {
  font_ = QFont(family_);
  font_.setPointSizeF(fontSize_);
  font_.setStyleStrategy(QFont::PreferOutline);
  font_ = QFont(font_, &printer_);
}

double QtReportPrinter::TextWidth(const std::string& utf8) const {
  return Twips(QFontMetricsF(font_, &printer_).horizontalAdvance(FromUtf8(utf8)));
}

double QtReportPrinter::TextHeight(const std::string&) const { return Twips(QFontMetricsF(font_, &printer_).height()); }

void QtReportPrinter::Line(double x1, double y1, double x2, double y2) {
  if (failed_ || !painter_.isActive() || !Wanted()) return;
  QPen pen(Qt::black, drawWidth_, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
  painter_.setPen(pen);
  painter_.drawLine(QPointF(Px(x1), Px(y1)), QPointF(Px(x2), Px(y2)));
}

void QtReportPrinter::PrintText(const std::string& utf8) {
  if (failed_ || !painter_.isActive() || !Wanted() || utf8.empty()) return;
  painter_.setFont(font_);
  painter_.setPen(QPen(Qt::black));
  const double ascent = QFontMetricsF(font_, &printer_).ascent();
  painter_.drawText(QPointF(Px(x_), Px(y_) + ascent), FromUtf8(utf8));
}

void QtReportPrinter::PlaceGraph(double x, double y, double width, double height, const AnalogScale& scale,
                                 const GraphInput& in, char decimalSeparator) {
  if (failed_ || !painter_.isActive() || !Wanted()) return;
  PictureSurface surface(kGraphWidth, kGraphHeight);
  GraphMake(surface, scale, in, decimalSeparator);
  // The drawing is replayed straight onto the page in the given rectangle
  // (played back as a QPicture, the PDF engine placed it wrongly).
  surface.PaintInto(painter_, QRectF(Px(x), Px(y), Px(width), Px(height)));
}

bool QtReportPrinter::Failed() const {
  return failed_ || printer_.printerState() == QPrinter::Error || printer_.printerState() == QPrinter::Aborted;
}

std::optional<Failure> QtReportPrinter::LastFailure() const {
  if (!Failed()) return std::nullopt;
  if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
    return Failure::Of(FailureKind::FileSystem, texts::kCauseCannotWrite)
        .AtPath(printer_.outputFileName().toStdString());
  }
  const std::string name = printer_.printerName().toStdString();
  return Failure::Of(FailureKind::Device,
                     texts::PrinterFailureCause(name, printer_.printerState() == QPrinter::Aborted));
}

PrintOutcome PrintReportWithDialog(Workspace& ws, Services& sv, QPrinter& printer, QWidget* parent) {
  QtReportPrinter out(printer, parent);
  PrintOutcome result = PrintReport(ws, sv, out);
  if (!out.Finish() && result == PrintOutcome::Printed) result = PrintOutcome::Failed;
  return result;
}

PrintOutcome PrintReportToPdf(Workspace& ws, const QString& fileName, int copies, const QPageRanges& pages) {
  Quiet quiet;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(fileName);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  printer.setCreator(QString::fromUtf8(kAppTitle));
  printer.setDocName(QString::fromUtf8(kAppTitle));
  QtReportPrinter out(printer, nullptr, copies);
  out.SetCopiesInOneSession(true);
  out.SetPageRanges(pages);
  PrintOutcome result = PrintReport(ws, quiet.sv, out);
  if (!out.Finish() && result == PrintOutcome::Printed) result = PrintOutcome::Failed;
  return result;
}

void ShowPrintPreview(Workspace& ws, QPrinter& printer, QWidget* parent) {
  QPrintPreviewDialog dialog(&printer, parent);
  dialog.setObjectName(QStringLiteral("NahledTisku"));
  dialog.setWindowTitle(QString::fromUtf8(kAppTitle));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&ws](QPrinter* target) {
    Quiet quiet;
    QtReportPrinter out(*target, nullptr, 1);
    out.SetCopiesInOneSession(true);
    PrintReport(ws, quiet.sv, out);
    out.Finish();
  });
  dialog.exec();
}

}  // namespace vexa::qt
