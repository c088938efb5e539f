// The serial port the unit commands run on: QSerialPort in the Linux build
// (with the Qt event machinery it needs), the Win32 port in the Windows
// build. Chosen when vexa-cli is built (tools/CMakeLists.txt).
#pragma once

#include <memory>
#include <vector>

#include "link/serial_port.h"

namespace vexa::cli {

// Starts what the port needs before it is opened.
void StartPortEvents();
// Lets the port's events run; called between the steps of a transfer.
void PumpPortEvents();
std::unique_ptr<link::SerialPort> MakeSerialPort(link::Clock& clock);
// The system's serial ports, for `vexa-cli ports` and a port given by name.
std::vector<link::SystemPort> SystemPorts();

}  // namespace vexa::cli
