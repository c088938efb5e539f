#include "ui/print_wiring.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "platform/services.h"
#include "qt/qt_printer.h"

namespace vexa::ui {

Printing::Printing(Workspace& ws, Services& sv, QWidget& window)
    : QObject(&window), ws_(ws), sv_(sv), window_(window), printer_(QPrinter::HighResolution) {
  setObjectName(QStringLiteral("PrintWiring"));
  printer_.setDocName(QString::fromUtf8(kAppTitle));
  printer_.setCreator(QString::fromUtf8(kAppTitle));
}

void Printing::Print() {
  // Qt's print dialog proposes a PDF file in the working folder (when it
  // lies in the home folder): for the dialog, that is the folder last
  // printed to.
  const QString working = QDir::currentPath();
  if (!pdfFolder.isEmpty() && printer_.outputFileName().isEmpty() && QFileInfo(pdfFolder).isDir()) {
    QDir::setCurrent(pdfFolder);
  }
  qt::PrintReportWithDialog(ws_, sv_, printer_, &window_);
  QDir::setCurrent(working);
  if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
    pdfFolder = QFileInfo(printer_.outputFileName()).absolutePath();
  }
}

void Printing::Preview() { qt::ShowPrintPreview(ws_, printer_, &window_); }

}  // namespace vexa::ui
