#include "qt/qt_serial_port.h"

#include <cstdint>

#include <QEventLoop>
#include <QTimer>

#include "codec/text.h"
#include "file/disk_file.h"
#include "link/port_names.h"
#include "platform/system.h"

namespace vexa::qt {

QtSerialPort::QtSerialPort(link::Clock& clock, std::string dosDevicesDir)
    : clock_(clock), dosDevicesDir_(std::move(dosDevicesDir)) {
  QObject::connect(&port_, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError e) { OnError(e); });
}

QtSerialPort::~QtSerialPort() {
  if (port_.isOpen()) port_.close();
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
  switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
      if (!port_.isOpen()) return;
      // The device went away (adapter unplugged, simulator ended). Close it
      // once control is back in the event loop, so a dead descriptor does not
      // keep waking the program.
      lost_ = true;
      QTimer::singleShot(0, &port_, [this] {
        if (lost_ && port_.isOpen()) port_.close();
      });
      return;
    default: return;  // time-outs and modem lines a pseudo-terminal lacks
  }
}

namespace {

// The port's native handle as the system layer takes it: a descriptor on
// Linux, a HANDLE on Windows.
[[maybe_unused]] std::intptr_t NativeOf(int descriptor) { return descriptor; }
[[maybe_unused]] std::intptr_t NativeOf(void* handle) { return reinterpret_cast<std::intptr_t>(handle); }

// The start of a small text file; empty when it cannot be read.
std::string FirstLines(const std::string& path, std::size_t limit = 256) {
  std::vector<std::uint8_t> bytes;
  if (!ReadRegularFile(path, 4096, bytes)) return {};
  std::string text(bytes.begin(), bytes.end());
  if (text.size() > limit) text.resize(limit);
  return text;
}

// Fills in the lock file that holds `device` and the process named in it.
void FindLockHolder(const std::string& device, link::PortOpenFailure& f) {
  for (const std::string& dir : platform::PortLockFolders()) {
    const std::string file = link::PortLockFileOf(dir, device);
    const std::string content = FirstLines(file);
    if (content.empty()) continue;
    f.lockFile = file;
    f.holderPid = link::LockFilePid(content);
    if (f.holderPid > 0) {
      std::string name = FirstLines("/proc/" + std::to_string(f.holderPid) + "/comm", 64);
      if (name.empty()) {
        // QLockFile's second line names the program that took the lock.
        const std::size_t eol = content.find('\n');
        if (eol != std::string::npos) name = content.substr(eol + 1, content.find('\n', eol + 1) - eol - 1);
      }
      while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
      f.holderName = TerminalSafe(name);
    }
    return;
  }
}

}  // namespace

link::PortOpenFailure QtSerialPort::Diagnose(QSerialPort::SerialPortError error) const {
  link::PortOpenFailure f;
  f.device = device_;
  f.user = platform::UserName();
  if (!platform::DeviceExists(device_) || error == QSerialPort::DeviceNotFoundError) {
    f.kind = link::PortError::NotFound;
    for (const auto& p : systemPorts_.SystemPorts()) f.existingPorts.push_back(p.device);
  } else if (error == QSerialPort::PermissionError || error == QSerialPort::OpenError) {
    // QSerialPort reports a device another program holds (its lock file, or
    // EBUSY) and one the user may not open alike; the device's permissions
    // tell them apart.
    if (platform::DeviceAccessDenied(device_)) {
      f.kind = link::PortError::PermissionDenied;
      f.group = platform::DeviceGroup(device_);
    } else {
      f.kind = link::PortError::Busy;
      FindLockHolder(device_, f);
    }
  }
  return f;
}

bool QtSerialPort::Open(const std::string& name) {
  if (port_.isOpen()) Close();
  lost_ = false;
  failure_ = {};
  const auto systemPorts =
      link::PortChoiceNeedsSystemPorts(name) ? systemPorts_.SystemPorts() : std::vector<link::SystemPort>{};
  device_ = link::ResolvePortChoice(name, systemPorts, dosDevicesDir_);
  // QSerialPort looks a bare name up in /dev; the messages name that device.
  device_ = link::DevicePathOf(device_);
  port_.setPortName(QString::fromStdString(device_));
  port_.setBaudRate(QSerialPort::Baud19200);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!port_.open(QIODevice::ReadWrite)) {
    failure_ = Diagnose(port_.error());
    port_.clearError();
    return false;
  }
  port_.clearError();
  // Besides QSerialPort's lock file, the terminal itself refuses every
  // further open (but root's) while the unit is being programmed.
  platform::KeepPortExclusive(NativeOf(port_.handle()), true);
  return true;
}

void QtSerialPort::Close() {
  if (port_.isOpen()) {
    platform::KeepPortExclusive(NativeOf(port_.handle()), false);
    port_.close();
  }
  port_.clearError();
  lost_ = false;
}

bool QtSerialPort::IsOpen() const { return port_.isOpen(); }

bool QtSerialPort::SetDtr(bool on) {
  if (!port_.isOpen()) return false;
  const bool ok = port_.setDataTerminalReady(on);
  if (!ok) port_.clearError();
  return ok;
}

bool QtSerialPort::SetRts(bool on) {
  if (!port_.isOpen()) return false;
  const bool ok = port_.setRequestToSend(on);
  if (!ok) port_.clearError();
  return ok;
}

bool QtSerialPort::WriteChar(std::uint8_t c) {
  if (!port_.isOpen() || lost_) return false;
  const char ch = static_cast<char>(c);
  return port_.write(&ch, 1) == 1;
}

void QtSerialPort::Flush() {
  if (port_.isOpen() && !lost_) port_.flush();
}

void QtSerialPort::PullPending() {
  if (!port_.isOpen() || lost_) return;
  if (platform::BytesPending(NativeOf(port_.handle())) <= 0) return;
  port_.waitForReadyRead(0);
  if (port_.error() == QSerialPort::TimeoutError) port_.clearError();
}

std::size_t QtSerialPort::BytesWaiting() {
  if (!port_.isOpen()) return 0;
  if (port_.bytesAvailable() == 0) PullPending();
  return static_cast<std::size_t>(port_.bytesAvailable());
}

std::optional<std::uint8_t> QtSerialPort::ReadChar() {
  if (BytesWaiting() == 0) return std::nullopt;
  char c = 0;
  if (port_.read(&c, 1) != 1) return std::nullopt;
  return static_cast<std::uint8_t>(c);
}

void QtSerialPort::WaitForData(std::int64_t deadlineMs) {
  if (!port_.isOpen() || lost_) return;
  Flush();
  if (BytesWaiting() > 0) return;
  const std::int64_t remaining = deadlineMs - clock_.NowMs();
  if (remaining <= 0) return;

  // Sleep in the event loop: it wakes for the port's data, for its errors, for
  // the deadline and for the user (Storno, repaints).
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  deadline.setTimerType(Qt::PreciseTimer);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  QObject::connect(&port_, &QSerialPort::readyRead, &loop, &QEventLoop::quit);
  QObject::connect(&port_, &QSerialPort::errorOccurred, &loop, [this, &loop](QSerialPort::SerialPortError) {
    if (lost_) loop.quit();
  });
  deadline.start(static_cast<int>(remaining));
  if (loop.exec() == -1 && port_.isOpen()) {
    // No event loop may run (the application is quitting): block on the
    // port instead of returning at once and spinning.
    port_.waitForReadyRead(static_cast<int>(remaining));
    if (port_.error() == QSerialPort::TimeoutError) port_.clearError();
  }
}

}  // namespace vexa::qt
