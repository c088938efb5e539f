// Test main for tests that need a QApplication (windows, printer, serial port).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
#ifdef _WIN32
  // The Qt for Windows has no offscreen platform: the minimal one draws
  // nothing, scripts/test-windows.sh chooses "windows" on its own display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "minimal");
  // Backups kept by the write workflow under test stay in the build tree.
  qputenv("LOCALAPPDATA", VEXA_BINARY_DIR "/test-data-home");
#else
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_DATA_HOME", VEXA_BINARY_DIR "/test-data-home");
#endif
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
