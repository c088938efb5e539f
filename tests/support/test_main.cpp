#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  // Backups kept by the write workflow under test stay in the build tree:
  // the data folder of Linux and the local application data of Windows.
#ifdef _WIN32
  _putenv_s("LOCALAPPDATA", VEXA_BINARY_DIR "/test-data-home");
#else
  setenv("XDG_DATA_HOME", VEXA_BINARY_DIR "/test-data-home", 1);
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
