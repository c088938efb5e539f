// VEXA Init: the PC configuration program of the VEXA unit.
//
// Every run starts from the same configuration; only the program's own
// settings (port, transfer boxes, folders, window geometry) are remembered.
// The command line takes --version, --help, --trace FILE (every frame to and
// from the unit recorded for support), and one ".eep" file to load at start
// (how the desktop opens a file with the program).
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstring>

#include "link/frame.h"
#include "link/trace.h"
#include "texts/texts.h"
#include "qt/quit_signals.h"
#include "ui/about_box.h"
#include "ui/main_window.h"
#include "ui/remembered_settings.h"
#include "ui/window_commands.h"
#include "workspace/workspace.h"

namespace {

void Describe(QCommandLineParser& parser) {
  using namespace vexa::texts;
  parser.setApplicationDescription(QString::fromUtf8(kInitDescription));
  // Qt's own help option speaks English even with its Czech translation.
  parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")}, QString::fromUtf8(kInitHelpOption)));
  parser.addVersionOption();
  parser.addOption(QCommandLineOption(QStringLiteral("trace"), QString::fromUtf8(kInitTraceOption),
                                      QString::fromUtf8(kInitTraceValue)));
  parser.addPositionalArgument(QString::fromUtf8(kInitFileArgument), QString::fromUtf8(kInitFileArgumentHelp),
                               QString::fromUtf8(kInitFileArgumentSyntax));
}

// The few texts of Qt's dialogs that Qt's Czech translation leaves in
// English ("Pages" in the print dialog), from the program's catalogue.
class QtLeftovers : public QTranslator {
 public:
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char*, int) const override {
    for (const vexa::texts::QtLeftover& t : vexa::texts::kQtLeftovers) {
      if (std::strcmp(context, t.context) == 0 && std::strcmp(source, t.source) == 0) return QString::fromUtf8(t.czech);
    }
    return QString();
  }
};

// Qt's dialogs take the words of file sizes ("982 bajty") from LC_MESSAGES
// and dates from LC_TIME, read once before anything else asks; numbers keep
// the user's own notation (LC_NUMERIC). A LC_ALL that would hide them is
// spread into LANG.
void CzechLocaleCategories() {
  const QByteArray all = qgetenv("LC_ALL");
  if (!all.isEmpty()) {
    qputenv("LANG", all);
    for (const char* category : {"LC_ALL", "LC_CTYPE", "LC_NUMERIC", "LC_COLLATE", "LC_MONETARY"}) qunsetenv(category);
    qputenv("LC_NUMERIC", all);
  }
  qputenv("LC_TIME", "cs_CZ.UTF-8");
  qputenv("LC_MESSAGES", "cs_CZ.UTF-8");
}

// The program speaks Czech whatever the system's language: Qt's own texts
// (the print and file dialogs, --help) from Qt's Czech translations (Debian's
// qt6-translations-l10n) and the program's own for what they leave out,
// dates and month names in Czech.
void SpeakCzech(QTranslator& qt, QTranslator& qtbase, QtLeftovers& leftovers) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (qt.load(QStringLiteral("qt_cs"), folder)) QCoreApplication::installTranslator(&qt);
  // The Windows build carries qtbase_cs inside the .exe.
  if (qtbase.load(QStringLiteral("qtbase_cs"), folder) || qtbase.load(QStringLiteral(":/translations/qtbase_cs")))
    QCoreApplication::installTranslator(&qtbase);
  QCoreApplication::installTranslator(&leftovers);
  QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic));
}

// --version and --help answer before the windowing system is opened, so
// they work without a display. Qt's own options (-platform, -style) are
// unknown here and left for the second reading.
void AnswerVersionAndHelp(int& argc, char** argv) {
  QCoreApplication probe(argc, argv);
  QTranslator qt, qtbase;
  QtLeftovers leftovers;
  SpeakCzech(qt, qtbase, leftovers);
  QCommandLineParser parser;
  Describe(parser);
  parser.parse(QCoreApplication::arguments());
  if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
  if (parser.isSet(QStringLiteral("help"))) parser.showHelp();
}

// The window composed, shown, and ended by SIGTERM and SIGHUP as by its own
// stop: the transfer stops, the unit is released, the port closed, and the
// program ends with 128 + the signal's number. A file given is loaded once
// the window is up, so the file's message shows over it.
int RunWindow(QApplication& app, vexa::Workspace& ws, vexa::link::Trace& trace, const QStringList& files) {
  vexa::ui::MainWindow window(ws);
  vexa::ui::ComposeWindow(window, {.trace = trace.IsOpen() ? &trace : nullptr,
                                   .rememberedFile = vexa::ui::RememberedSettingsFile()});
  vexa::qt::QuitSignals quitSignals;
  QObject::connect(&quitSignals, &vexa::qt::QuitSignals::received, &window,
                   [&window](int signal) { vexa::ui::StopAndQuit(window, vexa::qt::QuitSignals::ExitCodeOf(signal)); });
  window.show();
  if (!files.isEmpty()) {
    const QString path = QFileInfo(files.front()).absoluteFilePath();
    QTimer::singleShot(0, &window, [&window, path] { window.openFile(path); });
  }
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  CzechLocaleCategories();
  QCoreApplication::setApplicationName(QStringLiteral("vexa-init"));
  QCoreApplication::setApplicationVersion(QStringLiteral(VEXA_VERSION));
  AnswerVersionAndHelp(argc, argv);

  QApplication app(argc, argv);
  QApplication::setDesktopFileName(QStringLiteral("vexa-init"));
  // Numbers are written back in the user's notation: the system's, read
  // before the program's own language is set.
  const QString point = QLocale::system().decimalPoint();
  QTranslator qtTranslator, qtbaseTranslator;
  QtLeftovers leftovers;
  SpeakCzech(qtTranslator, qtbaseTranslator, leftovers);
  QCommandLineParser parser;
  Describe(parser);
  parser.process(app);  // an unknown option ends the program with a message
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    std::fprintf(stderr, "vexa-init: %s\n", vexa::texts::kInitOneFileOnly);
    return 2;
  }
  QApplication::setWindowIcon(vexa::ui::ProgramIcon());

  vexa::Workspace ws;
  ws.decimalSeparator = point == QStringLiteral(",") ? ',' : '.';

  // Without --trace nothing is written.
  vexa::link::SteadyClock traceClock;
  vexa::link::Trace trace(traceClock);
  if (parser.isSet(QStringLiteral("trace"))) {
    if (const auto failure = trace.Open(parser.value(QStringLiteral("trace")).toStdString())) {
      std::fprintf(stderr, "vexa-init: %s\n", failure->Reason().c_str());
      return 2;
    }
  }

  return RunWindow(app, ws, trace, files);
}
