// The serial port and the port list of the system the program is built for:
// QSerialPort and QSerialPortInfo on Linux, the Win32 port and the registry's
// list of COM ports on Windows (the ones `vexa-cli ports` shows). The build
// picks the implementation (src/qt/posix or src/qt/windows); the windows see
// only the link's interfaces.
#pragma once

#include <memory>
#include <string>

#include "link/serial_port.h"

namespace vexa::qt {

// A port that keeps the program's windows alive while it waits for the unit.
// "COM n" is found through `dosDevicesDir` where the system has such links
// (the user's own folder when empty).
std::unique_ptr<link::SerialPort> MakeSystemSerialPort(link::Clock& clock, const std::string& dosDevicesDir);
std::unique_ptr<link::PortList> MakeSystemPortList();

}  // namespace vexa::qt
