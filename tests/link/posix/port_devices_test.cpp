// "COM n" and the system's ports as Linux names them: /dev/ttyS(n-1), the
// user's COMn links, /dev/ttyUSB0.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/port_names.h"

namespace vexa::test {
namespace {

const std::vector<link::SystemPort> kSystemPorts = {
    {"/dev/ttyS0", "", ""},
    {"/dev/ttyUSB0", "FT232R USB UART", "A1234"},
    {"/dev/ttyACM0", "", "55"},
};

TEST(PortSelector, ComEntriesFirstThenEverySystemPort) {
  const auto entries = link::PortSelectorEntries(kSystemPorts, "");
  std::vector<std::string> texts, devices;
  for (const auto& e : entries) {
    texts.push_back(e.text);
    devices.push_back(e.device);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"COM 1", "COM 2", "COM 3", "COM 4", "/dev/ttyS0",
                                             "/dev/ttyUSB0 – FT232R USB UART, sériové číslo A1234",
                                             "/dev/ttyACM0 – sériové číslo 55"}));
  EXPECT_EQ(devices, (std::vector<std::string>{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3", "/dev/ttyS0",
                                               "/dev/ttyUSB0", "/dev/ttyACM0"}));
  EXPECT_EQ(link::PortListLines(entries),
            (std::vector<std::string>{"COM 1: /dev/ttyS0", "COM 2: /dev/ttyS1", "COM 3: /dev/ttyS2",
                                      "COM 4: /dev/ttyS3", "/dev/ttyS0 (COM 1)",
                                      "/dev/ttyUSB0 – FT232R USB UART, sériové číslo A1234",
                                      "/dev/ttyACM0 – sériové číslo 55"}));

  const std::pair<const char*, const char*> choices[] = {
      {"/dev/ttyUSB0 – FT232R USB UART, sériové číslo A1234", "/dev/ttyUSB0"},
      {"ttyUSB0", "/dev/ttyUSB0"},
      {"A1234", "/dev/ttyUSB0"},
      {"COM 2", "/dev/ttyS1"},
      {"/dev/pts/4", "/dev/pts/4"},
      {"/dev/ttyUSB7 – Gone adapter, sériové číslo Z9", "/dev/ttyUSB7"},  // unplugged since it was chosen
      {"nothing", "nothing"},
  };
  for (const auto& [text, device] : choices) {
    EXPECT_EQ(link::ResolvePortChoice(text, kSystemPorts, ""), device) << text;
    // Where the system's ports are not asked for, they make no difference.
    if (!link::PortChoiceNeedsSystemPorts(text)) {
      EXPECT_EQ(link::ResolvePortChoice(text, {}, ""), device) << text;
    }
  }
  EXPECT_TRUE(link::PortChoiceNeedsSystemPorts("ttyUSB0"));
  EXPECT_FALSE(link::PortChoiceNeedsSystemPorts("/dev/ttyUSB0"));
}

TEST(PortNames, ComTextsMapToLinksOrBuiltInPorts) {
  namespace fs = std::filesystem;
  const fs::path home = fs::temp_directory_path() / ("vexa-link-ports-" + std::to_string(::getpid()));
  fs::remove_all(home);
  const std::string dir = link::DosDevicesDirOf(home.string());
  fs::create_directories(dir);
  const fs::path target = home / "ttyFAKE0";
  std::ofstream(target).put('x');
  fs::create_symlink(target, fs::path(dir) / "COM2");
  fs::create_symlink(home / "missing", fs::path(dir) / "COM4");


  struct Case {
    const char* text;
    std::string device;
  };
  const Case cases[] = {
      {"COM 1", "/dev/ttyS0"},
      {"COM 3", "/dev/ttyS2"},
      {"com3", "/dev/ttyS2"},
      {"COM 2", fs::canonical(target).string()},
      {"COM 4", (home / "missing").string()},  // a dangling link opens its missing device, not ttyS3
      {"/dev/pts/7", "/dev/pts/7"},
      {"ttyUSB0", "ttyUSB0"},
      {"COM 0", "COM 0"},
      {"COM 12", "COM 12"},
  };
  for (const auto& c : cases) EXPECT_EQ(link::ResolvePortDevice(c.text, dir), c.device) << c.text;
  EXPECT_EQ(link::ResolvePortDevice("COM 2", ""), "/dev/ttyS1");
  // Relative links, followed to the first that is missing.
  fs::create_symlink("gone", home / "hop");
  fs::create_symlink("../../hop", fs::path(dir) / "COM3");
  EXPECT_EQ(link::ResolvePortDevice("COM 3", dir), (home / "gone").string());
  EXPECT_EQ(link::DevicePathOf("ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(link::DevicePathOf("/dev/pts/7"), "/dev/pts/7");
  EXPECT_EQ(link::PortNumberOf("COM 3"), 3);
  EXPECT_EQ(link::PortNumberOf("COMX"), std::nullopt);
  fs::remove_all(home);
}

}  // namespace
}  // namespace vexa::test
