// The unit commands on the Win32 serial port: its reads wait in the driver,
// so there are no events to run.
#include "os/windows/win_serial_port.h"
#include "port_backend.h"

namespace vexa::cli {

void StartPortEvents() {}

void PumpPortEvents() {}

std::unique_ptr<link::SerialPort> MakeSerialPort(link::Clock& clock) {
  return std::make_unique<win::WinSerialPort>(clock);
}

std::vector<link::SystemPort> SystemPorts() { return win::WinPortList().SystemPorts(); }

}  // namespace vexa::cli
