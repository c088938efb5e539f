// The unit commands on QSerialPort.
#include <QCoreApplication>

#include "port_backend.h"
#include "qt/qt_port_list.h"
#include "qt/qt_serial_port.h"

namespace vexa::cli {

void StartPortEvents() {
  static int argc = 1;
  static char name[] = "vexa-cli";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);  // lives until exit
}

void PumpPortEvents() { QCoreApplication::processEvents(); }

std::unique_ptr<link::SerialPort> MakeSerialPort(link::Clock& clock) {
  return std::make_unique<qt::QtSerialPort>(clock);
}

std::vector<link::SystemPort> SystemPorts() { return qt::QtPortList().SystemPorts(); }

}  // namespace vexa::cli
