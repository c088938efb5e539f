#include "support/non_regular_files.h"

namespace vexa::test {

// Device names are devices in every folder, whatever their extension.
std::vector<SpecialFile> SpecialFilesIn(const std::filesystem::path& dir) {
  return {{"the NUL device", "NUL", "je to zařízení, ne soubor"},
          {"a device name in a folder", (dir / "com1.eep").string(), "je to zařízení, ne soubor"},
          {"a named pipe", "\\\\.\\pipe\\vexa", "je to zařízení, ne soubor"}};
}

}  // namespace vexa::test
