// The main window's link to the unit: btDEA activates and releases the unit,
// btEEPROMLoad and btEEPROMSave read and write its EEPROM, and leaving the
// program while the unit is still in programming mode asks to release it.
#pragma once

#include <functional>
#include <string>

namespace vexa::link {
struct Link;
}

namespace vexa::ui {

class MainWindow;

// Enables btDEA and connects the three buttons and the window's exit guard.
// The serial port finds "COM 1".."COM 4" through `dosDevicesDir` (the user's
// ~/.vexa/dosdevices when empty). Attaching twice does nothing.
void AttachLink(MainWindow& window, const std::string& dosDevicesDir = {});

// A stop asked for from outside the window (SIGTERM, SIGHUP): the running
// command stops between blocks as its Storno would stop it, the unit is
// released without a question, the port and its lock are closed, and the
// program ends with `exitCode` through `quit` (QCoreApplication::exit when
// empty). A command that does not end within `graceMs` (a question nobody
// answers) is left; the port closes with the window.
void StopAndQuit(MainWindow& window, int exitCode, std::function<void(int)> quit = {}, int graceMs = 10000);

// The link of a window the wiring is attached to (tests watch its counters);
// null before AttachLink.
link::Link* LinkOf(MainWindow& window);

}  // namespace vexa::ui
