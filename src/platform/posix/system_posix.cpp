// Linux and the other POSIX systems: the XDG data folder, /dev/ttyS ports,
// the terminal and its signals.
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

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
