#include <sys/stat.h>

#include "support/non_regular_files.h"

namespace vexa::test {

std::vector<SpecialFile> SpecialFilesIn(const std::filesystem::path& dir) {
  const std::string fifo = (dir / "fifo.eep").string();
  ::mkfifo(fifo.c_str(), 0600);
  return {{"a FIFO", fifo, "je to roura (FIFO), ne soubor"}, {"a device", "/dev/null", "je to zařízení, ne soubor"}};
}

}  // namespace vexa::test
