// Paths that are not regular files, as each system has them: what a load
// must refuse, with the cause it gives (tests/<folder>/posix|windows/).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vexa::test {

struct SpecialFile {
  const char* name;
  std::string path;
  std::string cause;
};

// Made in `dir` where they need making.
std::vector<SpecialFile> SpecialFilesIn(const std::filesystem::path& dir);

}  // namespace vexa::test
