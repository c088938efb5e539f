#include "os/windows/win_serial_port.h"

#include <algorithm>
#include <cstdlib>

#include "link/port_names.h"
#include "os/windows/wide.h"

namespace vexa::win {
namespace {

constexpr const char* kDevicePrefix = "\\\\.\\";

// "COM3" of "\\.\COM3".
std::string ShortName(const std::string& device) {
  return device.rfind(kDevicePrefix, 0) == 0 ? device.substr(4) : device;
}

int ComNumber(const std::string& device) { return std::atoi(ShortName(device).c_str() + 3); }

}  // namespace

std::vector<link::SystemPort> WinPortList::SystemPorts() const {
  std::vector<link::SystemPort> ports;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return ports;
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameSize = 256;
    wchar_t data[256];
    DWORD dataSize = sizeof data;
    DWORD type = 0;
    const LONG r = RegEnumValueW(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS || type != REG_SZ) continue;
    std::wstring value(data, dataSize / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    if (!value.empty()) ports.push_back({kDevicePrefix + Utf8(value), "", ""});
  }
  RegCloseKey(key);
  std::sort(ports.begin(), ports.end(),
            [](const link::SystemPort& a, const link::SystemPort& b) { return ComNumber(a.device) < ComNumber(b.device); });
  return ports;
}

namespace {

// Why CreateFileW refused the port, in the program's terms.
link::PortError OpenErrorOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return link::PortError::NotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY: return link::PortError::Busy;
    // What Windows answers for a port another program holds, as well as
    // for one the user may not open.
    case ERROR_ACCESS_DENIED: return link::PortError::AccessDenied;
    default: return link::PortError::Unknown;
  }
}

// The unit's line: 19200 baud 8N1, no flow control, DTR off and RTS on.
bool SetUnitLine(HANDLE handle) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (GetCommState(handle, &dcb) == 0) return false;
  dcb.BaudRate = CBR_19200;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_DISABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fAbortOnError = FALSE;
  return SetCommState(handle, &dcb) != 0;
}

}  // namespace

bool WinSerialPort::Open(const std::string& name) {
  Close();
  lost_ = false;
  failure_ = {};
  in_.clear();
  out_.clear();
  const auto systemPorts =
      link::PortChoiceNeedsSystemPorts(name) ? systemPorts_.SystemPorts() : std::vector<link::SystemPort>{};
  // A bare name (COM12) is a device of the \\.\ namespace.
  device_ = link::DevicePathOf(link::ResolvePortChoice(name, systemPorts, ""));
  // Not shared: no other program can open the port while the unit is being programmed.
  handle_ = CreateFileW(Wide(device_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle_ == INVALID_HANDLE_VALUE) {
    failure_.device = ShortName(device_);
    failure_.kind = OpenErrorOf(GetLastError());
    if (failure_.kind == link::PortError::NotFound) {
      for (const auto& p : systemPorts_.SystemPorts()) failure_.existingPorts.push_back(ShortName(p.device));
    }
    return false;
  }
  const bool ok = SetUnitLine(handle_) && (SetupComm(handle_, 4096, 4096), SetReadWait(0));
  if (!ok) {
    failure_.device = ShortName(device_);
    failure_.kind = link::PortError::Unknown;
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return false;
  }
  // Whatever an earlier program left in the driver's buffers is not the unit's answer.
  PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
  return true;
}

void WinSerialPort::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  in_.clear();
  out_.clear();
}

// 0: a read returns at once with what is there; otherwise it returns with
// the first character or after `ms`.
bool WinSerialPort::SetReadWait(DWORD ms) {
  COMMTIMEOUTS t{};
  t.ReadIntervalTimeout = MAXDWORD;
  t.ReadTotalTimeoutMultiplier = ms == 0 ? 0 : MAXDWORD;
  t.ReadTotalTimeoutConstant = ms;
  t.WriteTotalTimeoutMultiplier = 0;
  t.WriteTotalTimeoutConstant = 2000;  // a frame takes 12 ms at 19200 baud
  return SetCommTimeouts(handle_, &t) != 0;
}

void WinSerialPort::MarkLost() {
  // The adapter was unplugged or the driver failed: every later exchange fails at once.
  lost_ = true;
  Close();
}

bool WinSerialPort::SetDtr(bool on) {
  return IsOpen() && EscapeCommFunction(handle_, on ? SETDTR : CLRDTR) != 0;
}

bool WinSerialPort::SetRts(bool on) {
  return IsOpen() && EscapeCommFunction(handle_, on ? SETRTS : CLRRTS) != 0;
}

bool WinSerialPort::WriteChar(std::uint8_t c) {
  if (!IsOpen()) return false;
  out_.push_back(c);
  if (out_.size() >= 256) Flush();
  return IsOpen();
}

void WinSerialPort::Flush() {
  if (!IsOpen() || out_.empty()) return;
  DWORD written = 0;
  const BOOL ok = WriteFile(handle_, out_.data(), static_cast<DWORD>(out_.size()), &written, nullptr);
  out_.clear();
  if (!ok) MarkLost();
}

void WinSerialPort::Pull() {
  if (!IsOpen()) return;
  DWORD errors = 0;
  COMSTAT status{};
  if (!ClearCommError(handle_, &errors, &status)) {
    MarkLost();
    return;
  }
  if (status.cbInQue == 0) return;
  std::uint8_t buffer[512];
  DWORD got = 0;
  if (!ReadFile(handle_, buffer, std::min<DWORD>(status.cbInQue, sizeof buffer), &got, nullptr)) {
    MarkLost();
    return;
  }
  in_.insert(in_.end(), buffer, buffer + got);
}

std::size_t WinSerialPort::BytesWaiting() {
  if (in_.empty()) Pull();
  return in_.size();
}

std::optional<std::uint8_t> WinSerialPort::ReadChar() {
  if (in_.empty()) Pull();
  if (in_.empty()) return std::nullopt;
  const std::uint8_t c = in_.front();
  in_.pop_front();
  return c;
}

void WinSerialPort::WaitForData(std::int64_t deadlineMs) {
  if (!IsOpen() || !in_.empty()) return;
  const std::int64_t left = deadlineMs - clock_.NowMs();
  if (left <= 0) return;
  if (!SetReadWait(static_cast<DWORD>(left))) {
    MarkLost();
    return;
  }
  std::uint8_t c = 0;
  DWORD got = 0;
  const BOOL ok = ReadFile(handle_, &c, 1, &got, nullptr);
  if (!ok) {
    MarkLost();
    return;
  }
  if (got == 1) in_.push_back(c);
  if (!SetReadWait(0)) MarkLost();
}

}  // namespace vexa::win
