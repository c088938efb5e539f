// The Win32 port under the window: its reads wait in the driver, so a wait
// for the unit is cut into short slices with the window's events run between
// them (repaints, "Storno"); no core spins.
#include <QCoreApplication>
#include <algorithm>

#include "os/windows/win_serial_port.h"
#include "qt/system_port.h"

namespace vexa::qt {
namespace {

class WindowWinSerialPort final : public link::SerialPort {
 public:
  explicit WindowWinSerialPort(link::Clock& clock) : clock_(clock), port_(clock) {}

  bool Open(const std::string& name) override { return port_.Open(name); }
  link::PortOpenFailure LastOpenFailure() const override { return port_.LastOpenFailure(); }
  void Close() override { port_.Close(); }
  bool IsOpen() const override { return port_.IsOpen(); }
  bool SetDtr(bool on) override { return port_.SetDtr(on); }
  bool SetRts(bool on) override { return port_.SetRts(on); }
  bool WriteChar(std::uint8_t c) override { return port_.WriteChar(c); }
  void Flush() override { port_.Flush(); }
  std::size_t BytesWaiting() override { return port_.BytesWaiting(); }
  std::optional<std::uint8_t> ReadChar() override { return port_.ReadChar(); }
  bool Lost() const override { return port_.Lost(); }

  void WaitForData(std::int64_t deadlineMs) override {
    port_.Flush();
    while (port_.IsOpen() && !port_.Lost() && port_.BytesWaiting() == 0) {
      const std::int64_t now = clock_.NowMs();
      if (now >= deadlineMs) return;
      QCoreApplication::processEvents();
      port_.WaitForData(std::min(deadlineMs, now + kSliceMs));
    }
  }

 private:
  static constexpr std::int64_t kSliceMs = 20;
  link::Clock& clock_;
  win::WinSerialPort port_;
};

}  // namespace

std::unique_ptr<link::SerialPort> MakeSystemSerialPort(link::Clock& clock, const std::string&) {
  return std::make_unique<WindowWinSerialPort>(clock);
}

std::unique_ptr<link::PortList> MakeSystemPortList() { return std::make_unique<win::WinPortList>(); }

}  // namespace vexa::qt
