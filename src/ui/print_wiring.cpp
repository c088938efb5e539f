#include "ui/print_wiring.h"

#include <QPrinter>
#include <QToolButton>
#include <memory>

#include "qt/qt_printer.h"
#include "ui/main_window.h"

namespace vexa::ui {
namespace {

// Lives as a child of the main window: the printer with the settings the
// user chose, and the guard against a second run while one prints.
class PrintWiring : public QObject {
 public:
  explicit PrintWiring(MainWindow& window) : QObject(&window), window_(window), printer_(QPrinter::HighResolution) {
    setObjectName(QStringLiteral("PrintWiring"));
    printer_.setDocName(QString::fromUtf8(kAppTitle));
    printer_.setCreator(QString::fromUtf8(kAppTitle));
  }

  void Print() {
    if (busy_ || !window_.flushFieldChecks()) return;
    busy_ = true;
    qt::PrintReportWithDialog(window_.workspace(), window_.services(), printer_, &window_);
    busy_ = false;
  }

  void Preview() {
    if (busy_ || !window_.flushFieldChecks()) return;
    busy_ = true;
    qt::ShowPrintPreview(window_.workspace(), printer_, &window_);
    busy_ = false;
  }

 private:
  MainWindow& window_;
  QPrinter printer_;
  bool busy_ = false;
};

}  // namespace

void AttachPrinting(MainWindow& window) {
  if (window.findChild<QObject*>(QStringLiteral("PrintWiring"), Qt::FindDirectChildrenOnly)) return;
  auto* wiring = new PrintWiring(window);
  if (auto* print = window.findChild<QToolButton*>(QStringLiteral("btTisk"))) {
    print->setEnabled(true);
    QObject::connect(print, &QToolButton::clicked, wiring, [wiring] { wiring->Print(); });
  }
  if (auto* preview = window.findChild<QToolButton*>(QStringLiteral("btNahled"))) {
    preview->setEnabled(true);
    QObject::connect(preview, &QToolButton::clicked, wiring, [wiring] { wiring->Preview(); });
  }
}

}  // namespace vexa::ui
