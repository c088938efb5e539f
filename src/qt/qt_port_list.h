// The system's serial ports from QSerialPortInfo: built-in ports, USB
// adapters (/dev/ttyUSB*, /dev/ttyACM*) with their description and serial
// number.
#pragma once

#include "link/serial_port.h"

namespace vexa::qt {

class QtPortList final : public link::PortList {
 public:
  std::vector<link::SystemPort> SystemPorts() const override;
};

}  // namespace vexa::qt
