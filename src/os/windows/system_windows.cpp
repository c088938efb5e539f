// Windows: the local application data folder, \\.\COMn ports, the console
// with its UTF-8 output and its control events.
#include <fcntl.h>
#include <io.h>
#include "os/windows/win.h"
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>

#include "platform/system.h"
#include "texts/texts_data.h"
#include "os/windows/wide.h"

namespace vexa::platform {
namespace {

// The flags the console's control handler, which runs on a thread of its
// own, may reach.
std::atomic<bool>* g_interrupted = nullptr;
std::atomic<bool> g_handled{false};

std::string Environment(const wchar_t* name) {
  const DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return {};
  std::wstring value(n, L'\0');
  const DWORD got = GetEnvironmentVariableW(name, value.data(), n);
  value.resize(got);
  return win::Utf8(value);
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (g_interrupted == nullptr) return FALSE;
  *g_interrupted = true;
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    // Windows ends the program as soon as this returns: the transfer stops
    // at its next block and the unit is released first, within the few
    // seconds the system allows.
    for (int waited = 0; waited < 4500 && !g_handled; waited += 50) Sleep(50);
  }
  return TRUE;
}

}  // namespace

std::string DefaultBackupDir() {
  std::string base = Environment(L"LOCALAPPDATA");
  if (base.empty()) {
    const std::string profile = Environment(L"USERPROFILE");
    if (profile.empty()) return {};
    base = profile + "\\AppData\\Local";
  }
  return Utf8Of(PathFromUtf8(base) / u8"VEXA Init" / PathFromUtf8(texts::kWindowsBackupFolder));
}

std::string PortLinksHome() { return {}; }

std::string BuiltInComDevice(int n) { return "\\\\.\\COM" + std::to_string(n); }

bool IsDevicePath(std::string_view text) { return text.rfind("\\\\.\\", 0) == 0; }

std::string DeviceFolder() { return "\\\\.\\"; }

std::string UserName() {
  wchar_t name[256];
  DWORD size = 256;
  return GetUserNameW(name, &size) ? win::Utf8(std::wstring(name, size > 0 ? size - 1 : 0)) : std::string();
}

// A COM port exists when the system has a DOS device of its name.
bool DeviceExists(const std::string& device) {
  std::string name = device.rfind(DeviceFolder(), 0) == 0 ? device.substr(DeviceFolder().size()) : device;
  wchar_t target[1024];
  return QueryDosDeviceW(win::Wide(name).c_str(), target, 1024) != 0;
}

std::string DeviceGroup(const std::string&) { return {}; }

// Windows says "access denied" for a port another program holds as well; the
// port's open tells that (PortError::AccessDenied).
bool DeviceAccessDenied(const std::string&) { return false; }

std::vector<std::string> PortLockFolders() { return {}; }

void KeepPortExclusive(std::intptr_t, bool) {}

long BytesPending(std::intptr_t handle) {
  DWORD errors = 0;
  COMSTAT status{};
  if (!ClearCommError(reinterpret_cast<HANDLE>(handle), &errors, &status)) return -1;
  return static_cast<long>(status.cbInQue);
}

std::FILE* OpenForWriting(const std::string& utf8Path) {
  // Binary: the lines end in LF as on Linux.
  return _wfopen(win::Wide(utf8Path).c_str(), L"wb");
}

bool FolderIsWritable(const std::string& utf8Folder) {
  const DWORD attributes = GetFileAttributesW(win::Wide(utf8Folder).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         _waccess(win::Wide(utf8Folder).c_str(), 2) == 0;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> args;
  for (int i = 0; i < n; ++i) args.push_back(win::Utf8(wide[i]));
  LocalFree(wide);
  return args;
}

void PrepareConsole() {
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCP(CP_UTF8);
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

bool IsConsole(int stream) {
  const HANDLE h = GetStdHandle(stream == 0 ? STD_INPUT_HANDLE : stream == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode) != 0;
}

void WatchInterrupts(std::atomic<bool>& interrupted) {
  g_interrupted = &interrupted;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void InterruptHandled() { g_handled = true; }

}  // namespace vexa::platform
