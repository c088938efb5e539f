// VEXA Init: the PC configuration program of the VEXA unit.
//
// No settings file: every run starts from the same defaults. The command line
// takes --version, --help, and one ".eep" file to load at start (how the
// desktop opens a file with the program).
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

#include "qt/quit_signals.h"
#include "ui/about_box.h"
#include "ui/link_wiring.h"
#include "ui/main_window.h"
#include "ui/print_wiring.h"
#include "workspace/workspace.h"

namespace {

void Describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral("VEXA Init: configuration of the VEXA unit"));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("configuration file (.eep) to load at start"),
                               QStringLiteral("[FILE.eep]"));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("vexa-init"));
  QCoreApplication::setApplicationVersion(QStringLiteral(VEXA_VERSION));
  {
    // --version and --help answer before the windowing system is opened, so
    // they work without a display. Qt's own options (-platform, -style) are
    // unknown here and left for the second reading.
    QCoreApplication probe(argc, argv);
    QCommandLineParser parser;
    Describe(parser);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp();
  }

  QApplication app(argc, argv);
  QApplication::setDesktopFileName(QStringLiteral("vexa-init"));
  QCommandLineParser parser;
  Describe(parser);
  parser.process(app);  // an unknown option ends the program with a message
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    std::fputs("vexa-init: one configuration file at most\n", stderr);
    return 2;
  }
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
  // SIGTERM, SIGHUP: the transfer stops, the unit is released, the port
  // closed, and the program ends with 128 + the signal's number.
  vexa::qt::QuitSignals quitSignals;
  QObject::connect(&quitSignals, &vexa::qt::QuitSignals::received, &window,
                   [&window](int signal) { vexa::ui::StopAndQuit(window, vexa::qt::QuitSignals::ExitCodeOf(signal)); });
  window.show();
  if (!files.isEmpty()) {
    // Loaded once the window is up, so the file's message shows over it.
    const QString path = QFileInfo(files.front()).absoluteFilePath();
    QTimer::singleShot(0, &window, [&window, path] { window.openFile(path); });
  }
  return app.exec();
}
