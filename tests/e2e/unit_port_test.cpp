// The program's main window driving a unit through the system's serial port
// ("COM 1"), as a person would: activation, read, an edit, a write with the
// unit's configuration kept first, release. scripts/test-windows.sh runs it
// in the Windows build under Wine (the Win32 port on the Wine COM port COM1)
// and in the Linux build (QSerialPort through ~/.vexa/dosdevices/COM1), each
// against the Linux vexa-unit-sim started with the file named in
// VEXA_TEST_UNIT_FIXTURE (a fixture's name); after the release it checks the
// simulator's memory and compares the times. Without that variable (ctest)
// there is no unit to drive and the test says so.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "file/config_file.h"
#include "platform/system.h"
#include "texts/texts.h"
#include "support/fakes.h"
#include "support/find_child.h"
#include "ui/main_window.h"
#include "link/unit_session.h"
#include "ui/window_commands.h"
#include "workspace/workspace.h"

namespace vexa::test {
namespace {

class WindowOnUnitPort : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture_ = qEnvironmentVariable("VEXA_TEST_UNIT_FIXTURE").toStdString();
    if (fixture_.empty())
      GTEST_SKIP() << "needs vexa-unit-sim on \"COM 1\": scripts/test-windows.sh runs it (VEXA_TEST_UNIT_FIXTURE)";
    window = std::make_unique<ui::MainWindow>(ws, fx.services);
    ui::AttachLink(*window);
    window->show();
  }
  void TearDown() override { window.reset(); }

  QAbstractButton* Button(const char* name) { return ui::testing::Child<QAbstractButton>(*window, name); }
  std::string Label(const char* name) { return ui::testing::LabelText(*window, name); }
  void Click(const char* name) { ui::testing::ClickEnabled(*window, name); }
  // The backups kept in the user's local application data.
  QStringList Backups() const {
    const QDir dir(QString::fromStdString(platform::DefaultBackupDir()));
    return dir.entryList({QStringLiteral("*.eep")}, QDir::Files, QDir::Name);
  }

  std::string fixture_;
  Workspace ws;
  fake::FakeServices fx;
  std::unique_ptr<ui::MainWindow> window;
};

TEST_F(WindowOnUnitPort, ActivatesReadsEditsWritesWithBackupAndReleases) {
  ASSERT_EQ(ws.settings.Port, "COM 1");
  const QStringList backupsBefore = Backups();

  QElapsedTimer clock;
  clock.start();
  Click("btDEA");
  ASSERT_EQ(ui::LinkOf(*window)->state(), LinkState::Aktivni) << ::testing::PrintToString(fx.messages.texts());
  EXPECT_EQ(Label("tabDeAktivNapis"), "Aktivní");
  EXPECT_EQ(Label("lblInfoProdukt"), "VEXA");
  EXPECT_FALSE(window->findChild<QComboBox*>(QStringLiteral("tabPort"))->isEnabled());

  fx.messages.clear();
  Click("btEEPROMLoad");
  ASSERT_EQ(fx.messages.texts(), std::vector<std::string>{texts::kMsgReadDone});
  const qint64 activateAndRead = clock.elapsed();
  std::printf("activation + read from the window: %lld ms\n", static_cast<long long>(activateAndRead));
  Workspace fixture;
  ASSERT_EQ(LoadConfigFile(std::string(VEXA_FIXTURES_DIR) + "/" + fixture_, fixture), LoadResult::Loaded);
  EXPECT_EQ(ws.config, fixture.config);
  auto* name = window->findChild<QLineEdit*>(QStringLiteral("tabJmenoStanice"));
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->text().toStdString(), fixture.config.general.JmenoStanice);

  // An edit with letters of code page 1250, written with the unit's old
  // configuration kept first.
  name->setText(QString::fromUtf8("Čerpací stanice Dolní Lhota – vrt 3"));
  ASSERT_EQ(ws.config.general.JmenoStanice, "Čerpací stanice Dolní Lhota – vrt 3");
  ASSERT_TRUE(window->findChild<QAbstractButton*>(QStringLiteral("tabBackup"))->isChecked());
  fx.messages.clear();
  Click("btEEPROMSave");
  ASSERT_EQ(fx.messages.firstLines(), std::vector<std::string>{texts::kMsgWriteDone});
  const QStringList backups = Backups();
  ASSERT_EQ(backups.size(), backupsBefore.size() + 1) << backups.join(QLatin1Char(' ')).toStdString();
  QString newest;
  for (const QString& b : backups)
    if (!backupsBefore.contains(b)) newest = b;
  Workspace kept;
  ASSERT_EQ(LoadConfigFile(platform::DefaultBackupDir() + "/" + newest.toStdString(), kept), LoadResult::Loaded);
  EXPECT_EQ(kept.config, fixture.config);  // what the unit held before the write

  fx.messages.clear();
  Click("btDEA");
  EXPECT_TRUE(fx.messages.shown.empty()) << ::testing::PrintToString(fx.messages.texts());
  EXPECT_EQ(ui::LinkOf(*window)->state(), LinkState::Neaktivni);
  EXPECT_EQ(Label("tabDeAktivNapis"), "Neaktivní");
  EXPECT_TRUE(window->findChild<QComboBox*>(QStringLiteral("tabPort"))->isEnabled());
}

}  // namespace
}  // namespace vexa::test
