// The port selector's entries, what a port text opens, and the message that
// says why a port could not be opened. The same texts serve the main window
// and vexa-cli.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "link/serial_port.h"

namespace vexa::link {

// "COM 1".."COM 4": the entries the selector always starts with.
inline constexpr int kComEntries = 4;

// One entry of the port selector.
struct PortEntry {
  std::string text;    // what the selector shows and ProgramSettings::Port keeps
  std::string device;  // the device the entry opens
};

// "COM 1".."COM 4" with the devices they map to (ResolvePortDevice), then
// every port of the system, shown as its device with the adapter's
// description and serial number where known:
// "/dev/ttyUSB0 – FT232R USB UART, sériové číslo A1234".
std::vector<PortEntry> PortSelectorEntries(const std::vector<SystemPort>& systemPorts,
                                           const std::string& dosDevicesDir);

// The device a port text opens: a selector entry's text (also one of a port
// the system no longer lists), a device path,
// "COM n", or a system port's name (ttyUSB0) or serial number. Anything else
// is returned unchanged, so opening it fails with its own message.
std::string ResolvePortChoice(std::string_view text, const std::vector<SystemPort>& systemPorts,
                              const std::string& dosDevicesDir);

// Whether ResolvePortChoice needs the system's ports for `text`: a device
// path and "COM n" resolve without them, so the program does not ask the
// system for its ports (hundreds of reads) before it opens one of those.
bool PortChoiceNeedsSystemPorts(std::string_view text);

// The line saying why a device could not be opened, in Czech; empty when the
// device is not known.
std::string PortFailureReason(PortError kind, const std::string& device, const std::string& group,
                              const std::vector<std::string>& existingPorts, const std::string& user);

// The lock file of a device in a lock folder, as serial programs name it:
// "<lockDir>/LCK..<device's name under /dev, "/" as "_">" (LCK..ttyUSB0,
// LCK..pts_3).
std::string PortLockFileOf(const std::string& lockDir, const std::string& device);
// The process id a lock file holds: the first number of its first line (as
// text, the form of QSerialPort, minicom and the UUCP tools); 0 when none.
long LockFilePid(std::string_view content);

// "Nelze otevřít port <port text>." and, on a second line, the reason; for a
// busy port with a lock file, the file and the process that holds it.
std::string PortOpenMessage(const std::string& portText, const PortOpenFailure& failure);

// The lines of `vexa-cli ports`: "COM n" entries with their devices, then the
// system's ports.
std::vector<std::string> PortListLines(const std::vector<PortEntry>& entries);

}  // namespace vexa::link
