#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  // Backups kept by the write workflow under test stay in the build tree.
  setenv("XDG_DATA_HOME", VEXA_BINARY_DIR "/test-data-home", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
