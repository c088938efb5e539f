// What every command button and key of the main window does: the one place
// that binds them, each through the window's command runner (only
// "Informace" and "Ukončit" act directly: "Ukončit" stops a running
// command), and that composes the program's window from its parts.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

namespace vexa::link {
struct Link;
class Trace;
}  // namespace vexa::link

namespace vexa::ui {

class CompareDialog;
class Comparing;
class LinkCommands;
class MainWindow;
class Printing;
struct RememberedParts;

// The command objects of one window, owned by it (MainWindow::commandParts()).
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
void BindWindowCommands(MainWindow& window);

// Enables btTisk and btNahled and binds them to printing. Attaching twice
// does nothing.
Printing& AttachPrinting(MainWindow& window);

// Enables btDEA and binds it, btEEPROMLoad, btEEPROMSave and the window's exit
// guard to the link. The serial port finds "COM 1".."COM 4" through
// `dosDevicesDir` (the user's ~/.vexa/dosdevices when empty). Attaching twice
// does nothing.
LinkCommands& AttachLink(MainWindow& window, const std::string& dosDevicesDir = {});

// The link of a window (tests watch its counters); null before AttachLink.
link::Link* LinkOf(MainWindow& window);

// A stop asked for from outside the window (SIGTERM, SIGHUP): the running
// command stops between blocks as its Storno would stop it, the unit is
// released without a question, the port and its lock are closed, and the
// program ends with `exitCode` through `quit` (QCoreApplication::exit when
// empty). A command that does not end within `graceMs` (a question nobody
// answers) is left; the port closes with the window.
void StopAndQuit(MainWindow& window, int exitCode, std::function<void(int)> quit = {}, int graceMs = 10000);

// The window's compare dialog, created on first use; null before.
CompareDialog* CompareDialogOf(MainWindow& window);

// The parts of the window whose values are remembered between runs.
RememberedParts RememberedPartsOf(MainWindow& window);

struct WindowOptions {
  link::Trace* trace = nullptr;  // records every frame of the link when set
  QString rememberedFile;        // the remembered settings, none when empty
};

// The program's window: printing and the link attached, the link recording
// into the trace, the remembered settings read now and written at the end.
void ComposeWindow(MainWindow& window, const WindowOptions& options);

}  // namespace vexa::ui
