// Test main for tests that need a QApplication (windows, printer, serial port).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Backups kept by the write workflow under test stay in the build tree.
  qputenv("XDG_DATA_HOME", VEXA_BINARY_DIR "/test-data-home");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
