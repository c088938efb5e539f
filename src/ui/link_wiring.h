// The main window's link to the unit: btDEA activates and releases the unit,
// btEEPROMLoad and btEEPROMSave read and write its EEPROM, and leaving the
// program while the unit is still in programming mode asks to release it.
#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "link/unit_session.h"
#include "link/serial_port.h"
#include "qt/modal_pause.h"

namespace vexa {
struct Workspace;
struct Services;
}  // namespace vexa

namespace vexa::ui {

class CommandHost;
class CommandRunner;
class Comparing;
class PortSelector;

// The serial port with its clock, which counts only the time the program
// waits for the unit. The command runner keeps the link
// commands apart from each other and from the file and print commands (a
// file command would rewrite the image a transfer is using; printing would
// take over the one progress window and its cancel flag).
class LinkCommands : public QObject {
 public:
  struct Parts {
    Workspace& ws;
    Services& sv;
    CommandRunner& commands;
    CommandHost& host;
    PortSelector& selector;  // locked while the port is in use
    Comparing& comparing;    // shows what a write changed
  };
  // A child of `parent`. The serial port finds "COM 1".."COM 4" through
  // `dosDevicesDir` (the user's ~/.vexa/dosdevices when empty).
  LinkCommands(const Parts& parts, const std::string& dosDevicesDir, QObject& parent);

  // The link (tests watch its counters; --trace records its frames).
  link::UnitSession& link() { return link_; }

  // btDEA: activates the unit, or releases it.
  void Dea();
  // btEEPROMLoad: reads the unit's EEPROM.
  void Load();
  // btEEPROMSave: writes the unit's EEPROM.
  void Save();

  // The exit guard. The window stops a running command before it asks
  // (closing then goes on once the command has ended); the question about
  // releasing the unit is itself run as a command, so no other starts while
  // it waits for the unit.
  bool MayExit(bool allowCancel);

  // Releases the unit without asking anything and closes the port (a stop
  // asked for from outside the window).
  void ReleaseQuietly();

 private:
  Parts parts_;
  link::SteadyClock steady_;
  // Stands while a question or a dialog is on screen (ModalPause).
  link::UnitClock clock_{steady_};
  qt::ModalPause pause_;
  std::unique_ptr<link::SerialPort> port_;  // the system's (qt/system_port.h)
  link::UnitSession link_;
};

}  // namespace vexa::ui
