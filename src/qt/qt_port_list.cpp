#include "qt/qt_port_list.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace vexa::qt {

std::vector<link::SystemPort> QtPortList::SystemPorts() const {
  std::vector<link::SystemPort> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    ports.push_back({info.systemLocation().toStdString(), info.description().trimmed().toStdString(),
                     info.serialNumber().trimmed().toStdString()});
  }
  std::sort(ports.begin(), ports.end(), [](const auto& a, const auto& b) { return a.device < b.device; });
  return ports;
}

}  // namespace vexa::qt
