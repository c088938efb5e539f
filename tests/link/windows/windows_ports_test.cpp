// "COM n" and the system's ports as Windows names them, and what Windows
// says of a port it will not open.
#include <gtest/gtest.h>

#include "link/port_names.h"

namespace vexa::test {
namespace {

TEST(WindowsPorts, ComTextsOpenTheirDevices) {
  const std::vector<link::SystemPort> ports = {{"\\\\.\\COM3", "", ""}, {"\\\\.\\COM12", "", ""}};
  const std::pair<const char*, const char*> choices[] = {
      {"COM 1", "\\\\.\\COM1"}, {"com4", "\\\\.\\COM4"},   {"COM 3", "\\\\.\\COM3"},
      {"COM12", "\\\\.\\COM12"}, {"\\\\.\\COM7", "\\\\.\\COM7"}
  };
  for (const auto& [text, device] : choices) EXPECT_EQ(link::ResolvePortChoice(text, ports, ""), device) << text;
  // No COMn links of the user's: Windows has its own COM ports.
  EXPECT_EQ(link::DefaultDosDevicesDir(), "");
  EXPECT_EQ(link::PortListLines(link::PortSelectorEntries(ports, "")),
            (std::vector<std::string>{"COM 1: \\\\.\\COM1", "COM 2: \\\\.\\COM2", "COM 3: \\\\.\\COM3",
                                      "COM 4: \\\\.\\COM4", "\\\\.\\COM3 (COM 3)", "\\\\.\\COM12"}));
}

TEST(WindowsPorts, AccessDeniedSaysAnotherProgramMayHoldIt) {
  link::PortOpenFailure f;
  f.kind = link::PortError::AccessDenied;
  f.device = "COM3";
  EXPECT_EQ(link::PortOpenMessage("COM 3", f),
            "Nelze otevřít port COM 3.\nCOM3: přístup odepřen. Port nejspíš používá jiný program (terminál, jiné "
            "okno VEXA Init); zavřete ho a zkuste to znovu.");
}

}  // namespace
}  // namespace vexa::test
