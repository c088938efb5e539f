// What every command button and key of the main window does: the one place
// that binds them, each through the window's command runner (only
// "Informace" and "Ukončit" act directly: "Ukončit" stops a running
// command), and that composes the program's window from its parts.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "ui/command_host.h"

class QAbstractButton;
class QMainWindow;
class QTabWidget;

namespace vexa {
struct Workspace;
struct Services;
}  // namespace vexa

namespace vexa::link {
class UnitSession;
class Trace;
}  // namespace vexa::link

namespace vexa::ui {

class CommandRunner;
class CompareDialog;
class Comparing;
class FileCommands;
class LinkCommands;
class LinkPanel;
class Printing;
class SettingsPanel;
struct RememberedParts;
struct CommandParts;

// The objects of a window that its commands act on.
struct WindowParts {
  Workspace& ws;
  Services& sv;
  QMainWindow& window;  // the parent of the commands' objects and dialogs
  CommandRunner& commands;
  CommandParts& parts;
  FileCommands& files;
  SettingsPanel& settings;  // the file, EEPROM, print and compare buttons
  LinkPanel& link;          // btDEA and the port selector
  QTabWidget& tabs;
  QAbstractButton& btInformace;
  QAbstractButton& btKonec;
};

// What the commands ask of the window they are bound in, beyond its parts.
class CommandWindow : public CommandHost {
 public:
  // The link state's word on btEEPROMLoad and btEEPROMSave.
  virtual bool eepromCommandsEnabled() const = 0;
  // "Informace": the about box.
  virtual void ShowAbout() = 0;
  // "Ukončit": stops a running command, or leaves the program.
  virtual void Quit() = 0;
  // Runs a write of the unit: while it runs, stopping it asks first.
  virtual void RunWrite(const std::function<void()>& write) = 0;
  // Asked before the program ends: by "Ukončit" with allowCancel = true (a
  // false result keeps the program running), and when the window is closed
  // with allowCancel = false (the user cannot cancel closing; a false result
  // only defers it).
  virtual void setExitGuard(std::function<bool(bool allowCancel)> guard) = 0;

 protected:
  ~CommandWindow() = default;

 private:
  // The objects the commands act on: reached only by the binding below
  // (window_commands.cpp), never from outside the window.
  virtual WindowParts windowParts() = 0;
  friend class WindowPartsAccess;
};

// The command objects of one window, owned by it (WindowParts::parts).
struct CommandParts {
  CommandParts();
  ~CommandParts();
  std::unique_ptr<Comparing> comparing;
  Printing* printing = nullptr;  // a child of the window once attached
  LinkCommands* link = nullptr;  // a child of the window once attached
};

// The commands every window has, bound as the window is built: the file
// commands, the comparison, "Informace", "Ukončit" and the command keys.
// btTisk, btNahled and btDEA stay disabled until printing and the link are
// attached; btEEPROMLoad and btEEPROMSave also follow the link state.
void BindWindowCommands(CommandWindow& window);

// Enables btTisk and btNahled and binds them to printing. Attaching twice
// does nothing.
Printing& AttachPrinting(CommandWindow& window);

// Enables btDEA and binds it, btEEPROMLoad, btEEPROMSave and the window's exit
// guard to the link. The serial port finds "COM 1".."COM 4" through
// `dosDevicesDir` (the user's ~/.vexa/dosdevices when empty). Attaching twice
// does nothing.
LinkCommands& AttachLink(CommandWindow& window, const std::string& dosDevicesDir = {});

// The link of a window (tests watch its counters); null before AttachLink.
link::UnitSession* LinkOf(CommandWindow& window);

// A stop asked for from outside the window (SIGTERM, SIGHUP): the running
// command stops between blocks as its Storno would stop it, the unit is
// released without a question, the port and its lock are closed, and the
// program ends with `exitCode` through `quit` (QCoreApplication::exit when
// empty). A command that does not end within `graceMs` (a question nobody
// answers) is left; the port closes with the window.
void StopAndQuit(CommandWindow& window, int exitCode, std::function<void(int)> quit = {}, int graceMs = 10000);

// The window's compare dialog, created on first use; null before.
CompareDialog* CompareDialogOf(CommandWindow& window);

// The parts of the window whose values are remembered between runs.
RememberedParts RememberedPartsOf(CommandWindow& window);

struct WindowOptions {
  link::Trace* trace = nullptr;  // records every frame of the link when set
  QString rememberedFile;        // the remembered settings, none when empty
};

// The program's window: printing and the link attached, the link recording
// into the trace, the remembered settings read now and written at the end.
void ComposeWindow(CommandWindow& window, const WindowOptions& options);

}  // namespace vexa::ui
