#include "ui/window_commands.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include "link/unit_session.h"
#include "ui/command_runner.h"
#include "ui/compare_wiring.h"
#include "ui/link_wiring.h"
#include "ui/file_wiring.h"
#include "ui/link_panel.h"
#include "ui/port_selector.h"
#include "ui/print_wiring.h"
#include "ui/remembered_settings.h"
#include "ui/series_window.h"
#include "ui/settings_panel.h"
#include "ui/window_shortcuts.h"
#include "workspace/workspace.h"

namespace vexa::ui {

// The binding's one way to the parts of a window.
class WindowPartsAccess {
 public:
  static WindowParts Of(CommandWindow& window) { return window.windowParts(); }
};

namespace {
WindowParts PartsOf(CommandWindow& window) { return WindowPartsAccess::Of(window); }
}  // namespace

CommandParts::CommandParts() = default;
CommandParts::~CommandParts() = default;

void BindWindowCommands(CommandWindow& window) {
  const WindowParts p = PartsOf(window);
  p.parts.comparing = std::make_unique<Comparing>(p.ws, p.sv, p.window);
  Comparing* comparing = p.parts.comparing.get();
  CommandRunner& commands = p.commands;
  SettingsPanel& settings = p.settings;
  CommandWindow* w = &window;
  FileCommands* files = &p.files;

  commands.Bind(settings.btFileSave(), [files] { files->Save(); });
  commands.Bind(settings.btFileLoad(), [files] { files->Load(); });
  commands.Bind(settings.btPorovnat(), [w, comparing] {
    w->LockFields(true);
    comparing->CompareWithFile();
    w->LockFields(false);
  });
  // Bound when printing and the link are attached.
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{settings.btTisk(), settings.btNahled(), p.link.btDEA(),
                                                                   settings.btSerie()}) {
    b->setEnabled(false);
    commands.Add(b);
  }
  commands.Add(settings.btEEPROMSave(), [w] { return w->eepromCommandsEnabled(); });
  commands.Add(settings.btEEPROMLoad(), [w] { return w->eepromCommandsEnabled(); });

  QObject::connect(&p.btInformace, &QAbstractButton::clicked, &p.window, [w] { w->ShowAbout(); });
  QObject::connect(&p.btKonec, &QAbstractButton::clicked, &p.window, [w] { w->Quit(); });

  BindKeys(p.window, {
                         {Qt::CTRL | Qt::Key_O, settings.btFileLoad()},
                         {Qt::CTRL | Qt::Key_S, settings.btFileSave()},
                         {Qt::CTRL | Qt::Key_P, settings.btTisk()},
                         {Qt::CTRL | Qt::SHIFT | Qt::Key_P, settings.btNahled()},
                         {Qt::CTRL | Qt::Key_Q, &p.btKonec},
                         {QKeyCombination(Qt::Key_F2), p.link.btDEA()},
                         {QKeyCombination(Qt::Key_F5), settings.btEEPROMLoad()},
                         {QKeyCombination(Qt::Key_F6), settings.btEEPROMSave()},
                         {Qt::CTRL | Qt::Key_R, settings.btSerie()},
                     });
  AttachTabKeys(p.window, p.tabs);
}

Printing& AttachPrinting(CommandWindow& window) {
  const WindowParts p = PartsOf(window);
  if (p.parts.printing != nullptr) return *p.parts.printing;
  auto* printing = new Printing(p.ws, p.sv, p.window);
  p.parts.printing = printing;
  FileCommands* files = &p.files;
  Workspace* ws = &p.ws;
  printing->proposedName = [files, ws] { return ProposedBaseName(files->origin(), ws->config); };
  printing->showStatus = files->showStatus;
  p.commands.Bind(p.settings.btTisk(), [printing] { printing->Print(); });
  p.commands.Bind(p.settings.btNahled(), [printing] { printing->Preview(); });
  return *printing;
}

LinkCommands& AttachLink(CommandWindow& window, const std::string& dosDevicesDir) {
  const WindowParts p = PartsOf(window);
  if (p.parts.link != nullptr) return *p.parts.link;
  PortSelector& selector = *p.link.tabPort();
  auto* link = new LinkCommands({p.ws, p.sv, p.commands, window, selector, *p.parts.comparing}, dosDevicesDir, p.window);
  p.parts.link = link;
  selector.setDosDevicesDir(dosDevicesDir);
  CommandWindow* w = &window;
  FileCommands* files = &p.files;
  p.commands.Bind(p.link.btDEA(), [link] { link->Dea(); });
  // A read replaces the configuration: unsaved edits are asked about first.
  p.commands.Bind(p.settings.btEEPROMLoad(), [files, link] {
    if (files->MayLeaveEdits()) link->Load();
  });
  p.commands.Bind(p.settings.btEEPROMSave(), [w, link] { w->RunWrite([link] { link->Save(); }); });
  // The series window, one per main window, kept while the program runs.
  Workspace* ws = &p.ws;
  Services* sv = &p.sv;
  QMainWindow* main = &p.window;
  p.commands.Bind(p.settings.btSerie(), [ws, sv, link, main] {
    auto* series = main->findChild<SeriesWindow*>(QStringLiteral("SerieWindow"));
    if (series == nullptr) {
      series = new SeriesWindow(*ws, *sv, link->link(), main);
      series->setWindowModality(Qt::WindowModal);
    }
    series->show();
    series->raise();
  });
  window.setExitGuard([link](bool allowCancel) { return link->MayExit(allowCancel); });
  return *link;
}

link::UnitSession* LinkOf(CommandWindow& window) {
  LinkCommands* link = PartsOf(window).parts.link;
  return link ? &link->link() : nullptr;
}

void StopAndQuit(CommandWindow& window, int exitCode, std::function<void(int)> quit, int graceMs) {
  if (!quit) quit = [](int code) { QCoreApplication::exit(code); };
  auto done = std::make_shared<bool>(false);
  auto finish = [quit, done, exitCode] {
    if (*done) return;
    *done = true;
    quit(exitCode);
  };
  const WindowParts p = PartsOf(window);
  p.ws.CancelRequested = true;
  QTimer::singleShot(graceMs, &p.window, finish);
  // The parts go with the window.
  QPointer<QMainWindow> w(&p.window);
  CommandParts* parts = &p.parts;
  p.commands.AfterCommand([w, parts, finish] {
    if (w && parts->link != nullptr) parts->link->ReleaseQuietly();
    finish();
  });
}

CompareDialog* CompareDialogOf(CommandWindow& window) { return PartsOf(window).parts.comparing->dialog(); }

RememberedParts RememberedPartsOf(CommandWindow& window) {
  const WindowParts p = PartsOf(window);
  return {p.ws, p.sv, p.window, *p.link.tabPort(), p.settings, p.parts.printing};
}

void ComposeWindow(CommandWindow& window, const WindowOptions& options) {
  AttachPrinting(window);
  link::UnitSession& link = AttachLink(window).link();
  if (options.trace != nullptr) link.SetTrace(options.trace);
  if (!options.rememberedFile.isEmpty()) AttachRememberedSettings(RememberedPartsOf(window), options.rememberedFile);
}

}  // namespace vexa::ui
