// How "COM 1".."COM 4" and the system's ports of the port selector find a
// device, and what the program says when one cannot be opened.
#include "link/port_names.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/failure.h"
#include "platform/system.h"
#include "texts/texts.h"

namespace vexa::link {

std::optional<int> PortNumberOf(std::string_view portText) {
  std::string_view t = portText;
  while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
  while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
  if (t.size() < 4) return std::nullopt;
  for (int i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(t[i])) != "COM"[i]) return std::nullopt;
  }
  std::string_view rest = t.substr(3);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  // One digit only: the selector's entries end in the port's number.
  if (rest.size() != 1 || !std::isdigit(static_cast<unsigned char>(rest[0]))) return std::nullopt;
  const int n = rest[0] - '0';
  if (n < 1) return std::nullopt;
  return n;
}

std::string DosDevicesDirOf(const std::string& homeDir) {
  if (homeDir.empty()) return {};
  return platform::Utf8Of(platform::PathFromUtf8(homeDir) / ".vexa" / "dosdevices");
}

std::string DefaultDosDevicesDir() { return DosDevicesDirOf(platform::PortLinksHome()); }

std::string ComLinkPath(const std::string& dosDevicesDir, int n) {
  return platform::Utf8Of(platform::PathFromUtf8(dosDevicesDir) / ("COM" + std::to_string(n)));
}

std::string DevicePathOf(const std::string& name) {
  if (name.empty() || platform::IsDevicePath(name)) return name;
  return platform::DeviceFolder() + name;
}

namespace {

// The first missing path along a chain of links starting at `link` (relative
// targets taken from the link's folder); the link itself when its chain
// cannot be read or loops.
std::filesystem::path MissingTargetOf(const std::filesystem::path& link) {
  namespace fs = std::filesystem;
  fs::path at = link;
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(at, ec)) || ec) return at;
    fs::path target = fs::read_symlink(at, ec);
    if (ec) return link;
    if (target.is_relative()) target = at.parent_path() / target;
    at = target.lexically_normal();
  }
  return link;
}

}  // namespace

std::string ResolvePortDevice(std::string_view portText, const std::string& dosDevicesDir) {
  if (platform::IsDevicePath(portText)) return std::string(portText);
  const auto n = PortNumberOf(portText);
  if (!n) return std::string(portText);

  if (!dosDevicesDir.empty()) {
    namespace fs = std::filesystem;
    const fs::path link = platform::PathFromUtf8(ComLinkPath(dosDevicesDir, *n));
    std::error_code ec;
    const auto status = fs::symlink_status(link, ec);
    if (!ec && fs::exists(status)) {
      const fs::path target = fs::canonical(link, ec);
      if (!ec) return platform::Utf8Of(target);
      // A dangling link (its adapter is unplugged) opens the device it points
      // to, which fails with that device's own message, rather than falling
      // back to another port.
      return platform::Utf8Of(MissingTargetOf(link));
    }
  }
  return platform::BuiltInComDevice(*n);
}

std::vector<PortEntry> PortSelectorEntries(const std::vector<SystemPort>& systemPorts,
                                           const std::string& dosDevicesDir) {
  std::vector<PortEntry> entries;
  for (int n = 1; n <= kComEntries; ++n) {
    const std::string text = "COM " + std::to_string(n);
    entries.push_back({text, ResolvePortDevice(text, dosDevicesDir)});
  }
  for (const SystemPort& p : systemPorts) {
    std::string text = p.device;
    if (!p.description.empty()) text += texts::kPortDescriptionSeparator + p.description;
    if (!p.serialNumber.empty()) {
      text += (p.description.empty() ? texts::kPortDescriptionSeparator : ", ") + texts::PortSerialNumber(p.serialNumber);
    }
    entries.push_back({text, p.device});
  }
  return entries;
}

std::string ResolvePortChoice(std::string_view text, const std::vector<SystemPort>& systemPorts,
                              const std::string& dosDevicesDir) {
  for (const PortEntry& e : PortSelectorEntries(systemPorts, dosDevicesDir)) {
    if (e.text == text) return e.device;
  }
  // The entry of a port the system no longer lists (or lists with another
  // description): the device it was shown for.
  if (platform::IsDevicePath(text)) {
    if (const auto cut = text.find(texts::kPortDescriptionSeparator); cut != std::string_view::npos) return std::string(text.substr(0, cut));
  }
  if (platform::IsDevicePath(text) || PortNumberOf(text)) return ResolvePortDevice(text, dosDevicesDir);
  for (const SystemPort& p : systemPorts) {
    if (platform::Utf8Of(platform::PathFromUtf8(p.device).filename()) == text ||
        (!p.serialNumber.empty() && p.serialNumber == text)) {
      return p.device;
    }
  }
  return std::string(text);
}

bool PortChoiceNeedsSystemPorts(std::string_view text) {
  return !platform::IsDevicePath(text) && !PortNumberOf(text);
}

std::string PortFailureReason(PortError kind, const std::string& device, const std::string& group,
                              const std::vector<std::string>& existingPorts, const std::string& user) {
  if (device.empty()) return {};
  switch (kind) {
    case PortError::NotFound: return texts::PortNotFoundReason(device, existingPorts);
    case PortError::Busy: return texts::PortBusyReason(device);
    case PortError::PermissionDenied:
      return texts::PortDeniedReason(device, group.empty() ? texts::kPortUsualGroup : group,
                                     user.empty() ? texts::kPortAnyUser : user);
    case PortError::AccessDenied: return texts::PortAccessDeniedReason(device);
    case PortError::Unknown: break;
  }
  return texts::PortFailedReason(device);
}

std::string PortLockFileOf(const std::string& lockDir, const std::string& device) {
  std::string name = device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return lockDir + "/LCK.." + name;
}

long LockFilePid(std::string_view content) {
  std::size_t i = 0;
  while (i < content.size() && (content[i] == ' ' || content[i] == '\t')) ++i;
  long pid = 0;
  const std::size_t start = i;
  // Up to ten digits: a process id, not a number that overflows.
  for (; i < content.size() && i - start < 10 && content[i] >= '0' && content[i] <= '9'; ++i) {
    pid = pid * 10 + (content[i] - '0');
  }
  const bool ends = i == content.size() || content[i] == '\n' || content[i] == ' ' || content[i] == '\r';
  return i > start && ends ? pid : 0;
}

std::string PortOpenMessage(const std::string& portText, const PortOpenFailure& failure) {
  std::string reason =
      PortFailureReason(failure.kind, failure.device, failure.group, failure.existingPorts, failure.user);
  if (failure.kind == PortError::Busy && !failure.lockFile.empty() && !reason.empty()) {
    reason += texts::PortLockNote(failure.lockFile, failure.holderPid, failure.holderName);
  }
  return WithReason(texts::PortOpenMessage(portText), reason);
}

std::vector<std::string> PortListLines(const std::vector<PortEntry>& entries) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const PortEntry& e = entries[i];
    if (i < static_cast<std::size_t>(kComEntries)) {
      lines.push_back(e.text + ": " + e.device);
      continue;
    }
    std::string line = e.text;
    for (int n = 0; n < kComEntries && n < static_cast<int>(entries.size()); ++n) {
      if (entries[static_cast<std::size_t>(n)].device == e.device) line += " (" + entries[static_cast<std::size_t>(n)].text + ")";
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace vexa::link
