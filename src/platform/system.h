// What differs between the systems the program runs on, behind one small
// interface: where the user's files go, what a serial port is called, the
// console of vexa-cli and how it is interrupted. One implementation per
// system (os/posix/, os/windows/), chosen when the program is
// built; the rest of the program asks only these functions.
//
// The whole-file reading and writing of file/disk_file.h is implemented per
// system in the same folders.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vexa::platform {

// Paths are UTF-8 everywhere in the program; these two convert them for the
// standard library (which on Windows would otherwise take the ANSI code page).
inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}
inline std::string Utf8Of(const std::filesystem::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

// The program's own backup folder: Linux "$XDG_DATA_HOME/vexa-init/backups"
// (else ~/.local/share/...), Windows "%LOCALAPPDATA%\VEXA Init\zalohy".
// Empty when the system does not say where the user's data goes.
std::string DefaultBackupDir();

// The home folder that holds the user's COMn links (~/.vexa/dosdevices);
// empty where the system names its COM ports itself (Windows).
std::string PortLinksHome();
// The device of the built-in port "COM n": /dev/ttyS(n-1), \\.\COMn.
std::string BuiltInComDevice(int n);
// Whether a port text names a device directly: "/dev/..." on Linux,
// "\\.\COM7" on Windows.
bool IsDevicePath(std::string_view text);

// The folder a bare port name lies in: "/dev/", "\\.\".
std::string DeviceFolder();
// Why a serial device could not be opened, as far as the system tells
// (the Qt serial port's diagnosis): who runs the program, the device's group
// (empty where devices have none), whether the user lacks the rights to it.
std::string UserName();
bool DeviceExists(const std::string& device);
std::string DeviceGroup(const std::string& device);
bool DeviceAccessDenied(const std::string& device);
// The folders serial programs keep their lock files in (none on Windows).
std::vector<std::string> PortLockFolders();
// On an open port's native handle (a descriptor, a HANDLE): refuses every
// further open while the unit is being programmed (a Windows port is never
// shared anyway), and counts the characters the driver holds; -1 when it
// cannot tell.
void KeepPortExclusive(std::intptr_t handle, bool on);
long BytesPending(std::intptr_t handle);

// A UTF-8 path opened for writing text, emptied first; nullptr with errno
// set when it cannot be.
std::FILE* OpenForWriting(const std::string& utf8Path);
// Whether the program may create files in the folder.
bool FolderIsWritable(const std::string& utf8Folder);

// vexa-cli's arguments as UTF-8 (Windows takes them from the wide command
// line, whatever the console's code page).
std::vector<std::string> CommandLineArguments(int argc, char** argv);
// Sets the console up for UTF-8 output, and standard output and error for
// bytes as they are (a .eep written to "-" is not altered, lines end in LF).
void PrepareConsole();
// Whether standard input (0) or standard error (2) is an interactive console.
bool IsConsole(int stream);

// From now on Ctrl+C, Ctrl+Break, closing the console or the terminal
// (SIGINT, SIGTERM, SIGHUP) set `interrupted` instead of ending the program,
// which stops between blocks and releases the unit. The flag must live until
// the program ends.
void WatchInterrupts(std::atomic<bool>& interrupted);
// The program has released the unit and is ending: a console that is being
// closed need not be held open any longer.
void InterruptHandled();

}  // namespace vexa::platform
