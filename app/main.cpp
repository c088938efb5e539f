// VEXA Init: the PC configuration program of the VEXA unit.
//
// No command line and no settings file: every run starts from the same
// defaults.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "ui/about_box.h"
#include "ui/link_wiring.h"
#include "ui/main_window.h"
#include "ui/print_wiring.h"
#include "workspace/workspace.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vexa-init"));
  QApplication::setDesktopFileName(QStringLiteral("vexa-init"));
  QApplication::setWindowIcon(vexa::ui::ProgramIcon());

  // The program speaks Czech; Qt's own dialogs follow when their
  // translation is installed.
  QTranslator qtTranslator;
  if (qtTranslator.load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTranslator);
  }

  vexa::Workspace ws;
  // Numbers are written back in the user's notation.
  const QString point = QLocale().decimalPoint();
  ws.decimalSeparator = point == QStringLiteral(",") ? ',' : '.';

  vexa::ui::MainWindow window(ws);
  vexa::ui::AttachPrinting(window);
  vexa::ui::AttachLink(window);
  window.show();
  return app.exec();
}
