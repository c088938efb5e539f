// A folder of the running test's own under the build folder, emptied first:
// ctest runs the tests side by side, each in a process of its own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vexa::test {

// VEXA_BINARY_DIR/area/name; `name` is the running test's name when empty.
// The folder itself is not made.
inline std::filesystem::path FreshTestFolder(const std::string& area, const std::string& name = {}) {
  const std::string leaf = name.empty() ? ::testing::UnitTest::GetInstance()->current_test_info()->name() : name;
  const std::filesystem::path dir = std::filesystem::path(VEXA_BINARY_DIR) / area / leaf;
  std::filesystem::remove_all(dir);
  return dir;
}

}  // namespace vexa::test
