#include "ui/print_wiring.h"

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

  void Print() { qt::PrintReportWithDialog(window_.workspace(), window_.services(), printer_, &window_); }
  void Preview() { qt::ShowPrintPreview(window_.workspace(), printer_, &window_); }

 private:
  MainWindow& window_;
  QPrinter printer_;
};

}  // namespace

void AttachPrinting(MainWindow& window) {
  if (window.findChild<QObject*>(QStringLiteral("PrintWiring"), Qt::FindDirectChildrenOnly)) return;
  auto* wiring = new PrintWiring(window);
  window.commands().Bind(window.btTisk(), [wiring] { wiring->Print(); });
  window.commands().Bind(window.btNahled(), [wiring] { wiring->Preview(); });
}

}  // namespace vexa::ui
