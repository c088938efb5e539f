// Linux and the other POSIX systems: the XDG data folder, /dev/ttyS ports,
// the terminal and its signals.
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "file/backup.h"
#include "platform/system.h"

namespace vexa::platform {
namespace {

std::atomic<bool>* g_interrupted = nullptr;  // the one flag the signal handler may reach

void OnSignal(int) {
  if (g_interrupted != nullptr) *g_interrupted = true;
}

}  // namespace

std::string DefaultBackupDir() { return vexa::DefaultBackupDir(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")); }

std::string PortLinksHome() {
  const char* home = std::getenv("HOME");
  return home != nullptr ? home : "";
}

std::string BuiltInComDevice(int n) { return "/dev/ttyS" + std::to_string(n - 1); }

bool IsDevicePath(std::string_view text) { return !text.empty() && text.front() == '/'; }

std::string DeviceFolder() { return "/dev/"; }

std::string UserName() {
  const char* user = std::getenv("USER");
  if (user != nullptr && *user != '\0') return user;
  const passwd* pw = ::getpwuid(::geteuid());
  return pw && pw->pw_name ? pw->pw_name : std::string();
}

bool DeviceExists(const std::string& device) {
  std::error_code ec;
  return std::filesystem::exists(device, ec);
}

std::string DeviceGroup(const std::string& device) {
  struct stat st {};
  if (::stat(device.c_str(), &st) != 0) return {};
  const group* g = ::getgrgid(st.st_gid);
  return g && g->gr_name ? g->gr_name : std::to_string(st.st_gid);
}

bool DeviceAccessDenied(const std::string& device) {
  return ::access(device.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
}

// QSerialPort's order: the first one the user may write is the one it uses.
std::vector<std::string> PortLockFolders() {
  return {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp",
          "/tmp",      "/var/tmp",   "/var/lock/lockdev", "/run/lock"};
}

void KeepPortExclusive(std::intptr_t handle, bool on) {
  if (handle >= 0) ::ioctl(static_cast<int>(handle), on ? TIOCEXCL : TIOCNXCL);
}

long BytesPending(std::intptr_t handle) {
  int pending = 0;
  if (handle < 0 || ::ioctl(static_cast<int>(handle), FIONREAD, &pending) != 0) return -1;
  return pending;
}

std::FILE* OpenForWriting(const std::string& utf8Path) { return std::fopen(utf8Path.c_str(), "w"); }

bool FolderIsWritable(const std::string& utf8Folder) { return ::access(utf8Folder.c_str(), W_OK) == 0; }

std::vector<std::string> CommandLineArguments(int argc, char** argv) { return {argv, argv + argc}; }

void PrepareConsole() {}

bool IsConsole(int stream) { return ::isatty(stream) != 0; }

void WatchInterrupts(std::atomic<bool>& interrupted) {
  g_interrupted = &interrupted;
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGHUP, &sa, nullptr);  // the terminal was closed
}

void InterruptHandled() {}

}  // namespace vexa::platform
