#include "ui/window_commands.h"

#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "link/frame.h"
#include "ui/command_runner.h"
#include "ui/compare_wiring.h"
#include "ui/link_wiring.h"
#include "ui/main_window.h"
#include "ui/port_selector.h"
#include "ui/print_wiring.h"
#include "ui/remembered_settings.h"
#include "ui/window_shortcuts.h"
#include "workspace/workspace.h"

namespace vexa::ui {

CommandParts::CommandParts() = default;
CommandParts::~CommandParts() = default;

void BindWindowCommands(MainWindow& window) {
  CommandParts& parts = window.commandParts();
  parts.comparing = std::make_unique<Comparing>(window.workspace(), window.services(), window);
  Comparing* comparing = parts.comparing.get();
  CommandRunner& commands = window.commands();
  MainWindow* w = &window;

  commands.Bind(window.btFileSave(), [w] { w->SaveToFile(); });
  commands.Bind(window.btFileLoad(), [w] { w->LoadFromFile(nullptr); });
  commands.Bind(window.btPorovnat(), [w, comparing] {
    w->LockFields(true);
    comparing->CompareWithFile();
    w->LockFields(false);
  });
  // Bound when printing and the link are attached.
  for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{window.btTisk(), window.btNahled(), window.btDEA()}) {
    b->setEnabled(false);
    commands.Add(b);
  }
  commands.Add(window.btEEPROMSave(), [w] { return w->eepromEnabled_; });
  commands.Add(window.btEEPROMLoad(), [w] { return w->eepromEnabled_; });

  QObject::connect(window.btInformace(), &QPushButton::clicked, w, &MainWindow::OnInformace);
  QObject::connect(window.btKonec(), &QPushButton::clicked, w, &MainWindow::OnKonec);

  BindKeys(window, {
                       {Qt::CTRL | Qt::Key_O, window.btFileLoad()},
                       {Qt::CTRL | Qt::Key_S, window.btFileSave()},
                       {Qt::CTRL | Qt::Key_P, window.btTisk()},
                       {Qt::CTRL | Qt::SHIFT | Qt::Key_P, window.btNahled()},
                       {Qt::CTRL | Qt::Key_Q, window.btKonec()},
                       {QKeyCombination(Qt::Key_F2), window.btDEA()},
                       {QKeyCombination(Qt::Key_F5), window.btEEPROMLoad()},
                       {QKeyCombination(Qt::Key_F6), window.btEEPROMSave()},
                   });
  AttachTabKeys(window, *window.tabList());
}

Printing& AttachPrinting(MainWindow& window) {
  CommandParts& parts = window.commandParts();
  if (parts.printing != nullptr) return *parts.printing;
  auto* printing = new Printing(window.workspace(), window.services(), window);
  parts.printing = printing;
  MainWindow* w = &window;
  printing->proposedName = [w] { return ProposedBaseName(w->origin(), w->workspace().config); };
  printing->showStatus = [w](const QString& text) { w->ShowStatus(text); };
  window.commands().Bind(window.btTisk(), [printing] { printing->Print(); });
  window.commands().Bind(window.btNahled(), [printing] { printing->Preview(); });
  return *printing;
}

LinkCommands& AttachLink(MainWindow& window, const std::string& dosDevicesDir) {
  CommandParts& parts = window.commandParts();
  if (parts.link != nullptr) return *parts.link;
  auto* link = new LinkCommands({window.workspace(), window.services(), window.commands(), window,
                                 *window.tabPort(), *parts.comparing},
                                dosDevicesDir, window);
  parts.link = link;
  window.tabPort()->setDosDevicesDir(dosDevicesDir);
  CommandRunner& commands = window.commands();
  commands.Bind(window.btDEA(), [link] { link->Dea(); });
  MainWindow* w = &window;
  // A read replaces the configuration: unsaved edits are asked about first.
  commands.Bind(window.btEEPROMLoad(), [w, link] {
    if (w->MayLeaveEdits()) link->Load();
  });
  commands.Bind(window.btEEPROMSave(), [w, link] { w->RunWrite([link] { link->Save(); }); });
  window.setExitGuard([link](bool allowCancel) { return link->MayExit(allowCancel); });
  return *link;
}

link::Link* LinkOf(MainWindow& window) {
  LinkCommands* link = window.commandParts().link;
  return link ? &link->link() : nullptr;
}

void StopAndQuit(MainWindow& window, int exitCode, std::function<void(int)> quit, int graceMs) {
  if (!quit) quit = [](int code) { QCoreApplication::exit(code); };
  auto done = std::make_shared<bool>(false);
  auto finish = [quit, done, exitCode] {
    if (*done) return;
    *done = true;
    quit(exitCode);
  };
  window.workspace().CancelRequested = true;
  QTimer::singleShot(graceMs, &window, finish);
  QPointer<MainWindow> w(&window);
  window.commands().AfterCommand([w, finish] {
    if (w && w->commandParts().link != nullptr) w->commandParts().link->ReleaseQuietly();
    finish();
  });
}

CompareDialog* CompareDialogOf(MainWindow& window) { return window.commandParts().comparing->dialog(); }

RememberedParts RememberedPartsOf(MainWindow& window) {
  return {window.workspace(), window.services(), window, *window.tabPort(), window.settingsPanel(),
          window.commandParts().printing};
}

void ComposeWindow(MainWindow& window, const WindowOptions& options) {
  AttachPrinting(window);
  link::Link& link = AttachLink(window).link();
  if (options.trace != nullptr) link.trace = options.trace;
  if (!options.rememberedFile.isEmpty()) AttachRememberedSettings(RememberedPartsOf(window), options.rememberedFile);
}

}  // namespace vexa::ui
