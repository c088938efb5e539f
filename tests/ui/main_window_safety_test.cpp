// Never losing the technician's work: what each save dialog starts from, the
// question about unsaved edits before the configuration is left behind, the
// question before a running write is stopped, and the focus after a command.
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <filesystem>
#include <functional>

#include "file/config_file.h"
#include "link/unit_session.h"
#include "ui/command_runner.h"
#include "ui/main_window_support.h"
#include "ui/window_commands.h"
#include "support/find_child.h"

namespace vexa::ui::testing {
namespace {

const std::string kPumping = VEXA_FIXTURES_DIR "/pumping-station.eep";
const std::string kProgram = "Inicializační program pro zařízení VEXA";
const std::string kUnit = "Zařízení VEXA na COM 1";

struct SafetyTest : MainWindowTest {
  void SetUp() override {
    MainWindowTest::SetUp();
    Fresh();
  }
  // A new window over the start-up configuration (the last one may have
  // ended the program), its link on a folder without serial ports.
  void Fresh() {
    window.reset();
    ws.config = Workspace().config;
    fx.messages.clear();
    window = std::make_unique<MainWindow>(ws, fx.services);
    AttachLink(*window, tmp.path().toStdString());
    window->show();
    window->activateWindow();
    Settle();
  }
  std::string PathIn(const char* name) const { return QDir(tmp.path()).filePath(name).toStdString(); }
  void Click(QAbstractButton* button) {
    button->click();
    Settle();
  }
  void Load(const std::optional<std::string>& path) {
    fx.files.opens = {path};
    Click(Child<QToolButton>(*window, "btFileLoad"));
  }
  void Compare(const std::optional<std::string>& path) {
    fx.files.opens = {path};
    Click(Child<QPushButton>(*window, "btPorovnat"));
  }
  // A read as the window takes it: the configuration replaced, the unit named.
  void Read(const DeviceConfig& unit) {
    ws.config = unit;
    window->ConfigReplaced();
    window->setSource(QString::fromStdString(kUnit));
  }
  std::string Title() const { return window->windowTitle().toStdString(); }
  QTemporaryDir tmp;
};

DeviceConfig Pumping() {
  Workspace unit;
  EXPECT_EQ(LoadConfigFile(kPumping, unit), LoadResult::Loaded);
  return unit.config;
}

// The save dialog starts from the configuration's own file, else from its
// station name; a compared file, a cancelled dialog or the file the window
// held before a read never becomes the proposal.
TEST_F(SafetyTest, EachSaveDialogStartsFromTheConfigurationsOwnName) {
  const std::string station = "Čerpací stanice Horní Lhota – vrt 2.eep", copy = PathIn("kopie.eep");
  DeviceConfig odd = Workspace().config;
  odd.general.JmenoStanice = "Vrt 3/4: sever.";
  const std::string onUnit = kUnit + " – " + kProgram;
  struct Case {
    const char* path;
    std::function<void()> before;
    std::string startsFrom, title;
  } cases[] = {
      {"start → save", [] {}, "VEXA.eep", kProgram},
      {"load → save", [&] { Load(kPumping); }, kPumping, "pumping-station.eep – " + kProgram},
      {"failed load → save", [&] { Load(PathIn("missing.eep")); }, "VEXA.eep", kProgram},
      {"read → save", [&] { Read(Pumping()); }, station, onUnit},
      {"read, a station name no file name holds → save", [&] { Read(odd); }, "Vrt 3_4_ sever.eep", onUnit},
      {"compare → save", [&] { Compare(kPumping); }, "VEXA.eep", kProgram},
      {"cancelled compare → save", [&] { Compare(std::nullopt); }, "VEXA.eep", kProgram},
      {"load A → read another unit → save", [&] { Load(VEXA_FIXTURES_DIR "/startup.eep"), Read(Pumping()); }, station,
       onUnit},
      {"save as → save",
       [&] {
         fx.files.saves = {copy};
         Click(Child<QToolButton>(*window, "btFileSave"));
         EXPECT_EQ(window->statusBar()->currentMessage().toStdString(), "Nastavení bylo uloženo do souboru 'kopie.eep'.");
       },
       copy, "kopie.eep – " + kProgram},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Fresh();
    c.before();
    EXPECT_EQ(Title(), c.title);
    fx.files.startedFrom.clear();
    fx.files.saves = {std::nullopt};
    Click(Child<QToolButton>(*window, "btFileSave"));
    EXPECT_EQ(fx.files.startedFrom, std::vector<std::string>{c.startsFrom});
  }
}

// Quitting, closing the window, reading the unit, opening and dropping a
// file ask about edits kept nowhere: Ano saves and goes on, Ne goes on,
// Storno stays. The title shows "*" while there are such edits.
TEST_F(SafetyTest, UnsavedEditsAreAskedAboutBeforeTheyAreLeftBehind) {
  auto closed = [&] { return !window->isVisible(); };
  auto loaded = [&] { return window->origin().file == kPumping; };
  struct Path {
    const char* what;
    std::function<void()> act;
    std::function<bool()> wentOn;
  } paths[] = {
      {"Ukončit", [&] { Click(Child<QPushButton>(*window, "btKonec")); }, closed},
      {"closing the window", [&] { window->close(), Settle(); }, closed},
      {"reading the unit",
       [&] {
         LinkOf(*window)->SetState(LinkState::Aktivni);
         window->LinkStateChanged(LinkState::Aktivni, DeviceInfo{});
         Click(Child<QToolButton>(*window, "btEEPROMLoad"));
       },
       [&] { return fx.messages.texts().back() == texts::kMsgReadSizeUnknown; }},  // the read went on
      {"opening a file", [&] { Load(kPumping); }, loaded},
      {"dropping a file", [&] { window->openFile(QString::fromStdString(kPumping)), Settle(); }, loaded},
  };
  for (const Path& p : paths) {
    for (const Answer answer : {Answer::Yes, Answer::No, Answer::Cancel}) {
      SCOPED_TRACE(std::string(p.what) + " " + std::to_string(static_cast<int>(answer)));
      Fresh();
      Type(Edit("tabJmenoStanice"), "Vrt 3");
      MoveTo(Edit("tabPIN"));
      EXPECT_EQ(Title(), "*" + kProgram);
      const std::string saved = PathIn("vrt.eep");
      std::filesystem::remove(saved);
      fx.files.saves = {saved};
      fx.messages.answers = {answer};
      p.act();
      ASSERT_FALSE(fx.messages.shown.empty());
      EXPECT_EQ(fx.messages.shown[0], (fake::ShownMessage{Icon::Question, texts::kMsgUnsavedEdits, Buttons::YesNoCancel}));
      EXPECT_EQ(std::filesystem::exists(saved), answer == Answer::Yes);
      EXPECT_EQ(p.wentOn(), answer != Answer::Cancel);
    }
  }
}

// Storno, "Ukončit" and closing the window during a write ask first (Enter
// answers No); Ne lets the write go on, Ano stops it as Storno always did.
// While the backup is read, the question says nothing has been written.
TEST_F(SafetyTest, StoppingAWriteAsksFirst) {
  const std::function<void()> triggers[] = {[&] { fx.progress.ClickStorno(); }, [&] { Child<QPushButton>(*window, "btKonec")->click(); },
                                            [&] { window->close(); }};
  for (int t = 0; t < 3; ++t) {
    for (const Answer answer : {Answer::No, Answer::Yes}) {
      const bool sending = answer == Answer::Yes ? t != 1 : t == 1;
      SCOPED_TRACE(std::to_string(t) + (answer == Answer::Yes ? " Ano" : " Ne") + (sending ? "" : ", backup"));
      Fresh();
      ws.writeSending = sending;
      fx.progress.ws = &ws;
      fx.messages.answers = {answer};
      ws.CancelRequested = false;
      Commands().Run([&] {
        window->RunWrite([&] {
          fx.progress.Show(texts::kMsgWriting, true);
          triggers[t]();
          EXPECT_TRUE(window->isVisible());
        });
      });
      Settle();
      EXPECT_EQ(fx.messages.noByDefault,
                std::vector<std::string>{sending ? texts::kMsgStopWriteQuestion : texts::kMsgStopBackupQuestion});
      EXPECT_EQ(ws.CancelRequested, answer == Answer::Yes);
    }
  }
}

// After a command the focus goes back where it was, or into the tabs when
// the command brought another tab forward; never to "Kontrolovat zápis do
// EEPROM", where one Space would untick it.
TEST_F(SafetyTest, TheFocusReturnsAfterACommand) {
  // What a read does to the window: the fields locked while the unit
  // answers (the focus leaves them), the first tab brought forward.
  auto read = [&] {
    Commands().Run([&] {
      window->LockFields(true);
      window->ShowTab(WindowTab::Vseobecne);
      window->ConfigReplaced();
      window->LockFields(false);
    });
  };
  struct Case {
    const char* field;
    std::function<void()> command;
    bool tabBroughtForward;
  } cases[] = {
      {"tabPIN", [&] { Click(Child<QToolButton>(*window, "btFileSave")); }, false},
      {"tabPIN", read, false},
      {"tabOUTNazev0", read, true},
      {"tabOUTNazev0", [&] { Load(kPumping); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + (c.tabBroughtForward ? " tab brought forward" : ""));
    fx.files.saves = {std::nullopt};
    Enter(Edit(c.field));
    c.command();
    Settle();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    if (c.tabBroughtForward) {
      EXPECT_TRUE(Child<QTabWidget>(*window, "TabList")->isAncestorOf(focus)) << focus->objectName().toStdString();
    } else {
      EXPECT_EQ(focus, Edit(c.field)) << focus->objectName().toStdString();
    }
  }
}

}  // namespace
}  // namespace vexa::ui::testing
