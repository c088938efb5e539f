#include "ui/print_wiring.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QToolButton>
#include <memory>

#include "qt/qt_printer.h"
#include "ui/command_runner.h"
#include "ui/main_window.h"

namespace vexa::ui {
namespace {

// Lives as a child of the main window: the printer with the settings the
// user chose. The window's command runner keeps a printout from starting
// while another command runs.
class PrintWiring : public QObject {
 public:
  explicit PrintWiring(MainWindow& window) : QObject(&window), window_(window), printer_(QPrinter::HighResolution) {
    setObjectName(QStringLiteral("PrintWiring"));
    printer_.setDocName(QString::fromUtf8(kAppTitle));
    printer_.setCreator(QString::fromUtf8(kAppTitle));
  }

  void Print() {
    // Qt's print dialog proposes a PDF file in the working folder (when it
    // lies in the home folder): for the dialog, that is the folder last
    // printed to.
    const QString working = QDir::currentPath();
    if (!pdfFolder.isEmpty() && printer_.outputFileName().isEmpty() && QFileInfo(pdfFolder).isDir()) {
      QDir::setCurrent(pdfFolder);
    }
    qt::PrintReportWithDialog(window_.workspace(), window_.services(), printer_, &window_);
    QDir::setCurrent(working);
    if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty()) {
      pdfFolder = QFileInfo(printer_.outputFileName()).absolutePath();
    }
  }
  void Preview() { qt::ShowPrintPreview(window_.workspace(), printer_, &window_); }

  QString pdfFolder;

 private:
  MainWindow& window_;
  QPrinter printer_;
};

PrintWiring* WiringOf(MainWindow& window) {
  return static_cast<PrintWiring*>(
      window.findChild<QObject*>(QStringLiteral("PrintWiring"), Qt::FindDirectChildrenOnly));
}

}  // namespace

QString PdfFolder(MainWindow& window) {
  PrintWiring* wiring = WiringOf(window);
  return wiring ? wiring->pdfFolder : QString();
}

void SetPdfFolder(MainWindow& window, const QString& folder) {
  if (PrintWiring* wiring = WiringOf(window)) wiring->pdfFolder = folder;
}

void AttachPrinting(MainWindow& window) {
  if (window.findChild<QObject*>(QStringLiteral("PrintWiring"), Qt::FindDirectChildrenOnly)) return;
  auto* wiring = new PrintWiring(window);
  window.commands().Bind(window.btTisk(), [wiring] { wiring->Print(); });
  window.commands().Bind(window.btNahled(), [wiring] { wiring->Preview(); });
}

}  // namespace vexa::ui
