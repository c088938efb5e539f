// How "COM 1".."COM 4" of the port selector find a device on this system.
#include <cctype>
#include <filesystem>
#include <system_error>

#include "link/serial_port.h"

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
  return (std::filesystem::path(homeDir) / ".vexa" / "dosdevices").string();
}

std::string ResolvePortDevice(std::string_view portText, const std::string& dosDevicesDir) {
  if (!portText.empty() && portText.front() == '/') return std::string(portText);
  const auto n = PortNumberOf(portText);
  if (!n) return std::string(portText);

  if (!dosDevicesDir.empty()) {
    namespace fs = std::filesystem;
    const fs::path link = fs::path(dosDevicesDir) / ("COM" + std::to_string(*n));
    std::error_code ec;
    const auto status = fs::symlink_status(link, ec);
    if (!ec && fs::exists(status)) {
      // A dangling link stays as it is, so opening it fails with the port's
      // own message rather than falling back to another device.
      const fs::path target = fs::canonical(link, ec);
      return ec ? link.string() : target.string();
    }
  }
  return "/dev/ttyS" + std::to_string(*n - 1);
}

}  // namespace vexa::link
