// The serial line to the unit and the clock that times its replies.
//
// The link works on these two abstractions only: the program implements them
// with QSerialPort and the steady clock, the tests with a port wired to the
// unit simulator and a clock that jumps instead of waiting.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::link {

// Milliseconds on a monotonic clock.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t NowMs() const = 0;
};

class SteadyClock final : public Clock {
 public:
  std::int64_t NowMs() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

// The link's clock: another clock that stands while the program waits for
// its user (a question or a dialog on screen). The unit is timed only while
// the program waits for the unit: what it sends meanwhile is kept by the
// port, and the exchange goes on from where it was once the user has
// answered. Pauses may nest; they count once.
class UnitClock final : public Clock {
 public:
  explicit UnitClock(const Clock& base) : base_(base) {}
  std::int64_t NowMs() const override { return (depth_ > 0 ? pausedAtMs_ : base_.NowMs()) - pausedMs_; }
  void Pause() {
    if (depth_++ == 0) pausedAtMs_ = base_.NowMs();
  }
  void Resume() {
    if (depth_ > 0 && --depth_ == 0) pausedMs_ += base_.NowMs() - pausedAtMs_;
  }
  bool Paused() const { return depth_ > 0; }
  // How long the program has stood waiting for its user in all (the pause
  // now running included).
  std::int64_t PausedMs() const { return pausedMs_ + (depth_ > 0 ? base_.NowMs() - pausedAtMs_ : 0); }

 private:
  const Clock& base_;
  int depth_ = 0;
  std::int64_t pausedAtMs_ = 0;
  std::int64_t pausedMs_ = 0;
};

// The link's clock stands while this lives (a question held open).
class UnitPause {
 public:
  explicit UnitPause(UnitClock* clock) : clock_(clock) {
    if (clock_) clock_->Pause();
  }
  ~UnitPause() {
    if (clock_) clock_->Resume();
  }
  UnitPause(const UnitPause&) = delete;
  UnitPause& operator=(const UnitPause&) = delete;

 private:
  UnitClock* clock_;
};

// Why a port could not be opened.
enum class PortError {
  Unknown,           // the system gave no reason the program knows
  NotFound,          // no such device
  Busy,              // another program has it open
  PermissionDenied,  // the user may not open the device
  // Windows refuses the port without saying why: another program holds it,
  // or the user may not open it.
  AccessDenied,
};

// What the platform knows about a failed open.
struct PortOpenFailure {
  PortError kind = PortError::Unknown;
  std::string device;                      // the device the port text stood for; empty when not known
  std::string group;                       // the device's group (PermissionDenied), e.g. "dialout"
  std::string user;                        // who runs the program
  std::vector<std::string> existingPorts;  // the system's serial ports (NotFound)
  // Busy: the lock file that holds the port, and the process named in it
  // (0 and empty when not known).
  std::string lockFile;
  long holderPid = 0;
  std::string holderName;
};

// One serial port of the system.
struct SystemPort {
  std::string device;        // /dev/ttyUSB0
  std::string description;   // the adapter's description; may be empty
  std::string serialNumber;  // may be empty
};

// The serial ports the system has, asked afresh on every call.
class PortList {
 public:
  virtual ~PortList() = default;
  virtual std::vector<SystemPort> SystemPorts() const = 0;
};

// One serial port at 19200 baud, 8 data bits, no parity, 1 stop bit, no flow
// control. Characters pass unchanged in both directions.
class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens the port named by `name` ("COM 3" or a device path, see
  // ResolvePortDevice) with the line settings above. False when it cannot be
  // opened; the port then stays closed.
  virtual bool Open(const std::string& name) = 0;
  // Why the last Open failed, as far as the platform can tell.
  virtual PortOpenFailure LastOpenFailure() const { return {}; }
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Modem lines. A port without them (a pseudo-terminal) answers false; the
  // link ignores that.
  virtual bool SetDtr(bool on) = 0;
  virtual bool SetRts(bool on) = 0;

  // Queues one character for sending; false when the port cannot take it.
  virtual bool WriteChar(std::uint8_t c) = 0;
  // Pushes queued characters towards the line without blocking.
  virtual void Flush() {}

  // Received characters waiting to be read.
  virtual std::size_t BytesWaiting() = 0;
  // One waiting character; nullopt when none waits.
  virtual std::optional<std::uint8_t> ReadChar() = 0;

  // Blocks until a character waits, the clock reaches `deadlineMs` or the port
  // is lost, whichever comes first. Keeps the program's windows alive while it
  // waits and does not spin the processor.
  virtual void WaitForData(std::int64_t deadlineMs) = 0;

  // True once the open port has gone away (adapter unplugged, simulator
  // ended); every later exchange fails at once.
  virtual bool Lost() const = 0;
};

// The port number of a port text: the numeric value of its last character when
// the text reads "COM n" ("COM 3", "com3"); nullopt for anything else.
std::optional<int> PortNumberOf(std::string_view portText);

// The device a port text stands for. A device path ("/dev/..." on Linux,
// "\\.\COM7" on Windows) is used as it is. "COM n" is the link
// `<dosDevicesDir>/COMn` when it exists (resolved to its target; a dangling
// link to the missing device it points to), otherwise the built-in port:
// /dev/ttyS(n-1) on Linux, \\.\COMn on Windows.
// Any other text is returned unchanged.
std::string ResolvePortDevice(std::string_view portText, const std::string& dosDevicesDir);

// The per-user folder of COMn links: `<home>/.vexa/dosdevices`.
std::string DosDevicesDirOf(const std::string& homeDir);
// The folder of COMn links of the user running the program ($HOME); empty
// when the home folder is not known, and on Windows, which has COM ports of
// its own.
std::string DefaultDosDevicesDir();
// The link "COM n" opens: `<dosDevicesDir>/COMn`.
std::string ComLinkPath(const std::string& dosDevicesDir, int n);
// The device of a port name: a bare name lies in the system's device folder
// ("ttyUSB0" in /dev, "COM12" as \\.\COM12); a path is used as it is.
std::string DevicePathOf(const std::string& name);

}  // namespace vexa::link
