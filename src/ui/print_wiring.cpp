#include "ui/print_wiring.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "platform/services.h"
#include "texts/texts.h"
#include "qt/qt_printer.h"

namespace vexa::ui {

Printing::Printing(Workspace& ws, Services& sv, QWidget& window)
    : QObject(&window), ws_(ws), sv_(sv), window_(window), printer_(QPrinter::HighResolution) {
  setObjectName(QStringLiteral("PrintWiring"));
  printer_.setDocName(QString::fromUtf8(kAppTitle));
  printer_.setCreator(QString::fromUtf8(kAppTitle));
}

void Printing::Print() {
  const QString name = proposedName ? QString::fromStdString(proposedName()) : QString::fromUtf8(kAppTitle);
  // Qt's print dialog names a PDF after the document, in the working folder
  // (when it lies in the home folder): for the dialog, that is the folder
  // last printed to. Once a PDF was printed it proposes that file; the next
  // one gets this configuration's name in the same folder.
  printer_.setDocName(name);
  const QString working = QDir::currentPath();
  if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
    const QString folder = pdfFolder.isEmpty() ? QFileInfo(printer_.outputFileName()).absolutePath() : pdfFolder;
    printer_.setOutputFileName(QDir(folder).filePath(name + QStringLiteral(".pdf")));
  } else if (!pdfFolder.isEmpty() && QFileInfo(pdfFolder).isDir()) {
    QDir::setCurrent(pdfFolder);
  }
  const PrintOutcome outcome = qt::PrintReportWithDialog(ws_, sv_, printer_, &window_);
  QDir::setCurrent(working);
  const bool toPdf = printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty();
  if (toPdf) pdfFolder = QFileInfo(printer_.outputFileName()).absolutePath();
  if (outcome != PrintOutcome::Printed || !showStatus) return;
  showStatus(QString::fromStdString(toPdf ? texts::PrintedToPdfStatus(QDir::toNativeSeparators(printer_.outputFileName()).toStdString())
                                          : texts::PrintJobSentStatus(printer_.printerName().toStdString())));
}

void Printing::Preview() { qt::ShowPrintPreview(ws_, printer_, &window_); }

}  // namespace vexa::ui
