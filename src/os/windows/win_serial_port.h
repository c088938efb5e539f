// The unit's serial line on the Win32 communications API: \\.\COMn opened
// exclusively, 19200 baud 8N1 without flow control, reads that return at
// once or wait for the first character without spinning. "COM 1".."COM 4"
// open \\.\COM1..\\.\COM4; a port of the system's list by its name (COM12)
// or its line.
#pragma once

#include "os/windows/win.h"

#include <deque>
#include <string>
#include <vector>

#include "link/serial_port.h"

namespace vexa::win {

// The system's COM ports from the registry (HARDWARE\DEVICEMAP\SERIALCOMM),
// by their number: \\.\COM1, \\.\COM3, \\.\COM12.
class WinPortList final : public link::PortList {
 public:
  std::vector<link::SystemPort> SystemPorts() const override;
};

class WinSerialPort final : public link::SerialPort {
 public:
  explicit WinSerialPort(link::Clock& clock) : clock_(clock) {}
  ~WinSerialPort() override { Close(); }

  bool Open(const std::string& name) override;
  link::PortOpenFailure LastOpenFailure() const override { return failure_; }
  void Close() override;
  bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
  bool SetDtr(bool on) override;
  bool SetRts(bool on) override;
  bool WriteChar(std::uint8_t c) override;
  void Flush() override;
  std::size_t BytesWaiting() override;
  std::optional<std::uint8_t> ReadChar() override;
  // A read that returns with the first character or at the deadline.
  void WaitForData(std::int64_t deadlineMs) override;
  bool Lost() const override { return lost_; }

  const std::string& device() const { return device_; }

 private:
  // Moves what the driver holds into in_ without waiting.
  void Pull();
  bool SetReadWait(DWORD ms);
  void MarkLost();

  link::Clock& clock_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::string device_;
  link::PortOpenFailure failure_;
  WinPortList systemPorts_;
  std::deque<std::uint8_t> in_;
  std::vector<std::uint8_t> out_;
  bool lost_ = false;
};

}  // namespace vexa::win
