// The program's main window driving a simulated unit over a pseudo-terminal:
// QSerialPort on the slave side, the unit simulator on the master side in a
// thread of its own, "COM 1" found through a dosdevices link.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include "../tools/vexa-unit-sim/pty_unit.h"
#include "codec/encoder.h"
#include "codec/header.h"
#include "file/config_file.h"
#include "link/block_transfer.h"
#include "link/unit_session.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "ui/compare_dialog.h"
#include "ui/compare_wiring.h"
#include "ui/fakes.h"
#include "ui/window_commands.h"
#include "ui/main_window.h"
#include "workflows/unit_workflows.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"
#include "support/find_child.h"

namespace vexa::test {
using vexa::ui::testing::Child;
namespace {

class LinkEndToEnd : public ::testing::Test {
 protected:
  void StartUnit(link::UnitOptions options = {}) {
    unit = std::make_unique<link::UnitSimulator>(options);
    std::string error;
    ASSERT_TRUE(pty.Open(&error)) << error;
    const std::string dir = link::DosDevicesDirOf(home.path().toStdString());
    std::filesystem::create_directories(dir);
    std::filesystem::create_symlink(pty.slavePath(), dir + "/COM1");
    server = std::thread([this] { pty.Serve(*unit, stop); });

    fx.loop.onYield = [this] {
      QCoreApplication::processEvents();
      if (onYield) onYield();
    };
    window = std::make_unique<ui::MainWindow>(ws, fx.services);
    ui::AttachLink(*window, dir);
    window->show();
  }
  void TearDown() override {
    window.reset();
    stop = true;
    if (server.joinable()) server.join();
  }

  QAbstractButton* Button(const char* name) { return ui::testing::Child<QAbstractButton>(*window, name); }
  QLineEdit* Edit(const char* name) { return ui::testing::Child<QLineEdit>(*window, name); }
  std::string Label(const char* name) { return ui::testing::LabelText(*window, name); }
  void Click(const char* name) { ui::testing::ClickEnabled(*window, name); }
  // "Aktivovat" with the unit answering; `link` is the window's link then.
  void Activate() {
    Click("btDEA");
    ASSERT_EQ(ui::LinkOf(*window)->state(), LinkState::Aktivni) << ::testing::PrintToString(fx.messages.texts());
    link = ui::LinkOf(*window);
    ASSERT_NE(link, nullptr);
  }
  // Pulls the cable after `at` blocks of the command, which ends within
  // seconds; releasing the silent unit then asks, and Yes goes inactive.
  void PullTheCableDuring(const char* command, long at) {
    ASSERT_NO_FATAL_FAILURE(Activate());
    link->SetOnBlock([this, at](long done, long) {
      if (done == at) pty.PullCable();
    });
    fx.messages.clear();
    QElapsedTimer clock;
    clock.start();
    Click(command);
    EXPECT_LT(clock.elapsed(), 5000);
  }
  void ReleaseTheSilentUnit() {
    fx.messages.clear();
    fx.messages.answers = {Answer::Yes};
    Click("btDEA");
    EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{texts::kMsgDeactivationFailed});
    ExpectInactive();
  }
  void ExpectInactive() {
    EXPECT_EQ(ui::LinkOf(*window)->state(), LinkState::Neaktivni);
    EXPECT_EQ(Label("tabDeAktivNapis"), "Neaktivní");
    EXPECT_EQ(Button("btDEA")->text().toStdString(), "Aktivovat");
    EXPECT_FALSE(Button("btEEPROMLoad")->isEnabled());
    EXPECT_FALSE(Button("btEEPROMSave")->isEnabled());
    EXPECT_TRUE(window->findChild<QComboBox*>(QStringLiteral("tabPort"))->isEnabled());
    for (const char* l : {"lblInfoProdukt", "lblInfoVerze", "lblInfoModem", "lblInfoPamSize"}) EXPECT_EQ(Label(l), "?");
  }

  Workspace ws;
  fake::FakeServices fx;
  QTemporaryDir home;
  sim::PtyUnit pty;
  std::unique_ptr<link::UnitSimulator> unit;
  std::atomic<bool> stop{false};
  std::thread server;
  std::unique_ptr<ui::MainWindow> window;
  link::UnitSession* link = nullptr;
  std::function<void()> onYield;
};

DeviceConfig PumpingStation() {
  Workspace other;
  EXPECT_EQ(LoadConfigFile(std::string(VEXA_FIXTURES_DIR) + "/pumping-station.eep", other), LoadResult::Loaded);
  return other.config;
}

TEST_F(LinkEndToEnd, ActivateWriteReadBackIntoAFreshConfigurationAndRelease) {
  StartUnit();
  ws.config = PumpingStation();
  window->ShowAll();
  const DeviceConfig written = ws.config;
  EXPECT_EQ(ws.settings.Port, "COM 1");

  ASSERT_NO_FATAL_FAILURE(Activate());
  EXPECT_EQ(fx.messages.texts(), std::vector<std::string>{texts::kMsgInstruction});
  EXPECT_EQ(Label("tabDeAktivNapis"), "Aktivní");
  EXPECT_EQ(Label("lblInfoProdukt"), "VEXA");
  EXPECT_EQ(Label("lblInfoVerze"), "1.5");
  EXPECT_EQ(Label("lblInfoModem"), "TC35 Siemens");
  EXPECT_EQ(Label("lblInfoPamSize"), "  8128 byte");
  EXPECT_EQ(Button("btDEA")->text().toStdString(), "Deaktivovat");
  EXPECT_TRUE(Button("btEEPROMSave")->isEnabled());
  EXPECT_FALSE(window->findChild<QComboBox*>(QStringLiteral("tabPort"))->isEnabled());

  fx.messages.clear();
  EXPECT_TRUE(window->hasUnsavedEdits());
  Click("btEEPROMSave");
  ASSERT_EQ(fx.messages.firstLines(), std::vector<std::string>{texts::kMsgWriteDone});
  EXPECT_TRUE(Button("btFileLoad")->isEnabled());
  EXPECT_FALSE(window->hasUnsavedEdits());  // the unit holds it now

  // A fresh configuration on screen (as a file would bring it), then the
  // unit's.
  ws.config = Workspace().config;
  window->ConfigReplaced();
  ASSERT_NE(ws.config, written);
  fx.messages.clear();
  Click("btEEPROMLoad");
  ASSERT_EQ(fx.messages.texts(), std::vector<std::string>{texts::kMsgReadDone});
  EXPECT_EQ(ws.config, written);
  EXPECT_EQ(Edit("tabJmenoStanice")->text().toStdString(), written.general.JmenoStanice);
  EXPECT_EQ(Child<QTabWidget>(*window, "TabList")->currentIndex(), 0);

  fx.messages.clear();
  Click("btDEA");
  EXPECT_TRUE(fx.messages.shown.empty());
  ExpectInactive();
}

TEST_F(LinkEndToEnd, CheckBoxSwitchesTheReadBack) {
  StartUnit();
  ASSERT_NO_FATAL_FAILURE(Activate());
  auto* check = window->findChild<QAbstractButton*>(QStringLiteral("tabCheckWrite"));
  ASSERT_NE(check, nullptr);
  ASSERT_TRUE(check->isChecked());
  // Every block, although the unit already holds the configuration after the
  // first round.
  auto* fullWrite = window->findChild<QAbstractButton*>(QStringLiteral("tabFullWrite"));
  ASSERT_NE(fullWrite, nullptr);
  ASSERT_FALSE(fullWrite->isChecked());
  fullWrite->click();
  ASSERT_TRUE(ws.settings.FullWrite);
  const long blocks =
      static_cast<long>(2 * link::FrontAreaBlocks().size() +
                        link::BodyBlocks(UpdateMemoryUsage(ws.config, ui::LinkOf(*window)->device().MemorySize).usage).size());

  for (bool verify : {false, true}) {
    SCOPED_TRACE(verify);
    if (check->isChecked() != verify) check->click();
    EXPECT_EQ(ws.settings.CheckWrite, verify);
    fx.messages.clear();
    const long before = link->ledger().counts().framesSent;
    long backupFrames = 0;  // the read of the unit's configuration kept before the write
    link->SetOnBlock([&](long, long) {
      if (fx.progress.text == texts::kMsgBackingUp) backupFrames = link->ledger().counts().framesSent - before;
    });
    Click("btEEPROMSave");
    EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{texts::kMsgWriteDone});
    // The first write reads the unit for its backup; the second knows what
    // the first left in it.
    if (verify) {
      EXPECT_EQ(backupFrames, 0);
    } else {
      EXPECT_GE(backupFrames, static_cast<long>(link::kBodyStart / link::kBlockSize));
    }
    EXPECT_EQ(link->ledger().counts().framesSent - before - backupFrames, verify ? 2 * blocks : blocks);
  }
  link->SetOnBlock(nullptr);
}

// The file and print commands, and the fields, wait until a transfer ends.
TEST_F(LinkEndToEnd, FileAndPrintCommandsWaitWhileATransferRuns) {
  StartUnit();
  // As the program's start-up leaves them once printing is attached.
  for (const char* name : {"btTisk", "btNahled"}) Button(name)->setEnabled(true);
  ASSERT_NO_FATAL_FAILURE(Activate());
  const char* const waiting[] = {"btFileLoad", "btFileSave", "btTisk", "btNahled", "btPorovnat"};
  for (const char* command : {"btEEPROMSave", "btEEPROMLoad"}) {
    SCOPED_TRACE(command);
    std::vector<std::string> enabledDuring;
    link->SetOnBlock([&](long done, long) {
      if (done != 5) return;
      for (const char* name : waiting) {
        if (Button(name)->isEnabled()) enabledDuring.push_back(name);
      }
      if (Edit("tabJmenoStanice")->isEnabled()) enabledDuring.push_back("tabJmenoStanice");  // fields too
    });
    fx.messages.clear();
    Click(command);
    EXPECT_EQ(fx.messages.shown.size(), 1u);
    EXPECT_TRUE(enabledDuring.empty()) << ::testing::PrintToString(enabledDuring);
    for (const char* name : waiting) EXPECT_TRUE(Button(name)->isEnabled()) << name;
    EXPECT_TRUE(Edit("tabJmenoStanice")->isEnabled());
  }
  link->SetOnBlock(nullptr);
}

TEST_F(LinkEndToEnd, StornoWhilePollingLeavesTheLinkInactive) {
  link::UnitOptions o;
  o.pollsBeforeAnswer = 1'000'000;  // the cable is not plugged in
  StartUnit(o);
  QElapsedTimer clock;
  clock.start();
  onYield = [&] {
    if (fx.progress.visible && fx.progress.stornoVisible && clock.elapsed() > 1200) {
      ws.CancelRequested = true;  // what the Storno button does
      fx.progress.Close();
    }
  };
  Click("btDEA");
  EXPECT_EQ(fx.messages.texts(), (std::vector<std::string>{texts::kMsgInstruction, texts::kMsgActivationFailed}));
  EXPECT_LT(clock.elapsed(), 5000);
  ExpectInactive();
  // The port was closed: activating again opens it anew.
  onYield = nullptr;
}

TEST_F(LinkEndToEnd, PulledCableEndsTheReadWithItsMessage) {
  StartUnit();
  PullTheCableDuring("btEEPROMLoad", 20);  // in the front area, which every read takes
  EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{texts::kMsgReadFailed});
  ReleaseTheSilentUnit();
}

TEST_F(LinkEndToEnd, PulledCableEndsTheWriteWithItsMessage) {
  StartUnit();
  ws.config = PumpingStation();
  window->ShowAll();
  PullTheCableDuring("btEEPROMSave", 40);  // in the body, the header already zeroed
  EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{texts::kMsgWriteFailed});
  EXPECT_EQ(fx.messages.shown.back().icon, Icon::Error);
  EXPECT_FALSE(fx.progress.visible);
  EXPECT_EQ(ui::LinkOf(*window)->state(), LinkState::Aktivni);
  // The working image is the configuration's again, header included, so a
  // file save after the failure still holds a valid configuration.
  EXPECT_TRUE(IsImageValid(ws.image));
  EXPECT_TRUE(Button("btFileSave")->isEnabled());
  ReleaseTheSilentUnit();
}

// The stop question held open 3 s (a real modal window on screen) and
// answered "Ne", during the backup read and during the write: the link's
// clock stood meanwhile and the write completes exactly.
TEST_F(LinkEndToEnd, AStopQuestionHeldOpenAndAnsweredNoLetsTheWriteComplete) {
  StartUnit();
  ws.config = PumpingStation();
  window->ShowAll();
  ASSERT_NO_FATAL_FAILURE(Activate());
  fx.progress.ws = &ws;
  std::int64_t unitTimeDuringQuestion = -1;
  fx.messages.onShow = [&](const fake::ShownMessage& m) {
    if (m.text != texts::kMsgStopWriteQuestion && m.text != texts::kMsgStopBackupQuestion) return;
    QDialog question(window.get());
    question.setModal(true);
    question.show();
    const std::int64_t before = link->clock().NowMs();
    QElapsedTimer held;
    held.start();
    while (held.elapsed() < 3000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    unitTimeDuringQuestion = link->clock().NowMs() - before;
    question.hide();
  };
  for (const bool inBackup : {true, false}) {
    SCOPED_TRACE(inBackup ? "during the backup read" : "during the write");
    if (!inBackup) Button("tabFullWrite")->click();  // the unit holds it already: every block again
    long reports = 0;
    link->SetOnBlock([&](long, long) {
      if (ws.writeSending == inBackup || ++reports != 10) return;
      fx.messages.answers = {Answer::No};
      fx.progress.ClickStorno();
    });
    fx.messages.clear();
    unitTimeDuringQuestion = -1;
    Click("btEEPROMSave");
    link->SetOnBlock(nullptr);
    const auto lines = fx.messages.firstLines();
    ASSERT_EQ(lines.size(), 2u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[0], inBackup ? texts::kMsgStopBackupQuestion : texts::kMsgStopWriteQuestion);
    EXPECT_EQ(lines[1], texts::kMsgWriteDone);
    EXPECT_GE(unitTimeDuringQuestion, 0);
    EXPECT_LT(unitTimeDuringQuestion, 500);
    const long used = UpdateMemoryUsage(ws.config, ui::LinkOf(*window)->device().MemorySize).usage;
    for (long a = 0; a < used; ++a) {
      if (a >= 64 && a < 128) continue;
      ASSERT_EQ(unit->memory()[static_cast<std::size_t>(a)], ws.image.data()[a]) << a;
    }
  }
}

TEST_F(LinkEndToEnd, AFailedWriteLeavesTheConfigurationUnsavedAndQuittingAsks) {
  // Written once, the configuration is held by the unit: no "*", quitting
  // would not ask. A full write that then fails takes it out of the unit.
  StartUnit();
  ws.config = PumpingStation();
  window->ShowAll();
  ASSERT_NO_FATAL_FAILURE(Activate());
  Click("btEEPROMSave");
  ASSERT_FALSE(window->hasUnsavedEdits());
  ASSERT_FALSE(window->windowTitle().startsWith(QLatin1Char('*')));
  Button("tabFullWrite")->click();
  link->SetOnBlock([this](long done, long) {
    if (done == 40) pty.PullCable();
  });
  fx.messages.clear();
  Click("btEEPROMSave");
  link->SetOnBlock(nullptr);
  ASSERT_EQ(fx.messages.firstLines(), std::vector<std::string>{texts::kMsgWriteFailed});
  EXPECT_TRUE(window->windowTitle().startsWith(QLatin1Char('*')));
  ReleaseTheSilentUnit();

  fx.messages.clear();
  fx.messages.answers = {Answer::Cancel};
  Click("btKonec");
  EXPECT_EQ(fx.messages.texts(), std::vector<std::string>{texts::kMsgUnsavedEdits});
  EXPECT_TRUE(window->isVisible());
}

TEST_F(LinkEndToEnd, LeavingWhileActiveAsksToReleaseTheUnit) {
  StartUnit();
  ASSERT_NO_FATAL_FAILURE(Activate());

  fx.messages.clear();
  fx.messages.answers = {Answer::Cancel};
  Click("btKonec");
  ASSERT_EQ(fx.messages.shown.size(), 1u);
  EXPECT_EQ(fx.messages.shown[0].text, texts::kMsgExitQuestion);
  EXPECT_EQ(fx.messages.shown[0].buttons, Buttons::YesNoCancel);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(ui::LinkOf(*window)->state(), LinkState::Aktivni);

  fx.messages.clear();
  fx.messages.answers = {Answer::Yes};
  Click("btKonec");
  EXPECT_EQ(fx.messages.texts(), std::vector<std::string>{texts::kMsgExitQuestion});
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(ui::LinkOf(*window)->state(), LinkState::Neaktivni);
}

TEST_F(LinkEndToEnd, ClosingDuringATransferStopsItThenAsksToReleaseTheUnit) {
  StartUnit();
  ASSERT_NO_FATAL_FAILURE(Activate());
  link->SetOnBlock([&](long done, long) {
    if (done == 5) window->close();  // the close box, in the middle of the read
  });
  fx.messages.clear();
  fx.messages.answers = {Answer::Ok, Answer::Yes};
  Click("btEEPROMLoad");
  link->SetOnBlock(nullptr);
  // The read stopped as by Storno; the window is still there until it ended.
  ASSERT_GE(fx.messages.shown.size(), 1u);
  EXPECT_EQ(fx.messages.shown[0].text, texts::kMsgReadCancelled);
  QElapsedTimer t;
  t.start();
  while (window->isVisible() && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  // Then closing goes on with its question, and Yes releases the unit.
  ASSERT_EQ(fx.messages.shown.size(), 2u);
  EXPECT_EQ(fx.messages.shown[1].text, texts::kMsgExitQuestion);
  EXPECT_EQ(fx.messages.shown[1].buttons, Buttons::YesNo);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(ui::LinkOf(*window)->state(), LinkState::Neaktivni);
}

// SIGTERM or SIGHUP in the middle of a read: the read stops as by Storno, the
// unit is released without a question, the port is closed, and the program
// ends with the signal's exit code.
TEST_F(LinkEndToEnd, StopSignalReleasesTheUnitWithoutAQuestion) {
  StartUnit();
  ASSERT_NO_FATAL_FAILURE(Activate());
  int exitCode = -1;
  link->SetOnBlock([&](long done, long) {
    if (done == 5) ui::StopAndQuit(*window, 143, [&](int code) { exitCode = code; });
  });
  fx.messages.clear();
  Click("btEEPROMLoad");
  link->SetOnBlock(nullptr);
  QElapsedTimer t;
  t.start();
  while (exitCode < 0 && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(exitCode, 143);
  EXPECT_EQ(ui::LinkOf(*window)->state(), LinkState::Neaktivni);
  EXPECT_FALSE(link->port().IsOpen());
  ASSERT_GE(fx.messages.shown.size(), 1u);
  EXPECT_EQ(fx.messages.shown[0].text, texts::kMsgReadCancelled);
  for (const auto& m : fx.messages.shown) EXPECT_NE(m.text, texts::kMsgExitQuestion);
}

TEST_F(LinkEndToEnd, WrongDeviceCanOnlyBeReleased) {
  link::UnitOptions o;
  o.versionMajor = 0;
  o.versionMinor = 9;
  StartUnit(o);
  Click("btDEA");
  EXPECT_EQ(ui::LinkOf(*window)->state(), LinkState::AktivniSpatnaVerze);
  EXPECT_EQ(fx.messages.texts(), (std::vector<std::string>{texts::kMsgInstruction, texts::OldProcessorMessage(kMinProcessorVersion)}));
  EXPECT_EQ(Label("tabDeAktivNapis"), "Chybné zařízení");
  EXPECT_EQ(Button("btDEA")->text().toStdString(), "Deaktivovat");
  EXPECT_FALSE(Button("btEEPROMLoad")->isEnabled());
  EXPECT_FALSE(Button("btEEPROMSave")->isEnabled());
  Click("btDEA");
  ExpectInactive();
}

// "Načíst celou paměť EEPROM" and "Zálohovat před zápisem" reach the read and
// the write; "Zobrazit změny" sets the unit's former configuration against
// the one written.
TEST_F(LinkEndToEnd, TransferOptionsReachTheWorkflows) {
  StartUnit();
  ws.config = PumpingStation();
  window->ShowAll();
  ASSERT_NO_FATAL_FAILURE(Activate());
  auto* fullRead = window->findChild<QAbstractButton*>(QStringLiteral("tabFullRead"));
  auto* backup = window->findChild<QAbstractButton*>(QStringLiteral("tabBackup"));
  ASSERT_TRUE(fullRead && backup);
  EXPECT_FALSE(fullRead->isChecked());
  EXPECT_TRUE(backup->isChecked());
  fx.messages.clear();
  Click("btEEPROMSave");  // the unit was not programmed: nothing to back up
  ASSERT_EQ(fx.messages.firstLines(), std::vector<std::string>{texts::kMsgWriteDone});

  long frames[2] = {};
  for (bool full : {false, true}) {
    if (fullRead->isChecked() != full) fullRead->click();
    EXPECT_EQ(ws.settings.FullRead, full);
    fx.messages.clear();
    const long before = link->ledger().counts().framesSent;
    Click("btEEPROMLoad");
    ASSERT_EQ(fx.messages.texts(), std::vector<std::string>{texts::kMsgReadDone});
    frames[full] = link->ledger().counts().framesSent - before;
  }
  EXPECT_GE(frames[1], 8128 / link::kBlockSize);
  EXPECT_LT(frames[0] * 3, frames[1]);

  for (bool keep : {false, true}) {
    SCOPED_TRACE(keep);
    if (backup->isChecked() != keep) backup->click();
    EXPECT_EQ(ws.settings.Backup, keep);
    const std::string before = ws.config.general.JmenoStanice;
    ws.config.general.JmenoStanice = keep ? "Lhota II" : "Lhota I";
    window->ShowAll();
    fx.messages.clear();
    fx.messages.answers = {Answer::Extra};  // "Zobrazit změny"
    Click("btEEPROMSave");
    ASSERT_EQ(fx.messages.shown.size(), 1u);
    const fake::ShownMessage& done = fx.messages.shown[0];
    EXPECT_EQ(done.text.rfind(texts::kMsgWriteDone, 0), 0u);
    EXPECT_EQ(fx.messages.extraButtons,
              keep ? std::vector<std::string>{kCaptionShowChanges} : std::vector<std::string>{});
    ui::CompareDialog* dialog = ui::CompareDialogOf(*window);
    ASSERT_EQ(dialog != nullptr && dialog->isVisible(), keep);
    if (!keep) continue;
    QTableWidget& t = *dialog->table();
    ASSERT_EQ(t.rowCount(), 1);
    EXPECT_EQ(t.horizontalHeaderItem(1)->text().toStdString(), "Před zápisem");
    EXPECT_EQ(t.horizontalHeaderItem(2)->text().toStdString(), "Zapsáno");
    EXPECT_EQ(t.item(0, 1)->text().toStdString(), before);
    EXPECT_EQ(t.item(0, 2)->text().toStdString(), "Lhota II");
    dialog->hide();
  }
}

}  // namespace
}  // namespace vexa::test
