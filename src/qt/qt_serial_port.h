// The unit's serial line on QSerialPort.
//
// "COM 1".."COM 4" of the port selector are found as described in
// docs/serial-ports.md: a link ~/.vexa/dosdevices/COMn when it exists,
// otherwise the built-in port /dev/ttyS(n-1). A device path is used as it is,
// and so is an entry of the port selector or a system port's name
// (ResolvePortChoice). The port is opened exclusively: no other program can
// open it while the unit is being programmed.
#pragma once

#include <QSerialPort>
#include <string>

#include "link/serial_port.h"
#include "qt/qt_port_list.h"

namespace vexa::qt {

class QtSerialPort final : public link::SerialPort {
 public:
  // `dosDevicesDir` is the folder of COMn links; the user's own by default.
  explicit QtSerialPort(link::Clock& clock, std::string dosDevicesDir = link::DefaultDosDevicesDir());
  ~QtSerialPort() override;

  bool Open(const std::string& name) override;
  link::PortOpenFailure LastOpenFailure() const override { return failure_; }
  void Close() override;
  bool IsOpen() const override;
  bool SetDtr(bool on) override;
  bool SetRts(bool on) override;
  bool WriteChar(std::uint8_t c) override;
  void Flush() override;
  std::size_t BytesWaiting() override;
  std::optional<std::uint8_t> ReadChar() override;
  // Runs the event loop until a character arrives, the deadline passes or the
  // port fails; the program's windows stay alive and no core spins.
  void WaitForData(std::int64_t deadlineMs) override;
  bool Lost() const override { return lost_; }

  // The device the last Open resolved the port to.
  const std::string& device() const { return device_; }

 private:
  // Moves characters the system has received into the port's buffer without
  // blocking.
  void PullPending();
  void OnError(QSerialPort::SerialPortError error);
  // Why opening device_ failed: QSerialPort's error, told apart further by
  // looking at the device.
  link::PortOpenFailure Diagnose(QSerialPort::SerialPortError error) const;

  QSerialPort port_;
  link::Clock& clock_;
  std::string dosDevicesDir_;
  std::string device_;
  link::PortOpenFailure failure_;
  QtPortList systemPorts_;
  bool lost_ = false;
};

}  // namespace vexa::qt
