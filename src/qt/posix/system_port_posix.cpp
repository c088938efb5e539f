#include "qt/qt_port_list.h"
#include "qt/qt_serial_port.h"
#include "qt/system_port.h"

namespace vexa::qt {

std::unique_ptr<link::SerialPort> MakeSystemSerialPort(link::Clock& clock, const std::string& dosDevicesDir) {
  return std::make_unique<QtSerialPort>(clock, dosDevicesDir.empty() ? link::DefaultDosDevicesDir() : dosDevicesDir);
}

std::unique_ptr<link::PortList> MakeSystemPortList() { return std::make_unique<QtPortList>(); }

}  // namespace vexa::qt
