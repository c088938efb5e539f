// Never losing the technician's work: what each save dialog starts from, the
// question about unsaved edits before the configuration is left behind, and
// the question before a running write is stopped.
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <filesystem>
#include <functional>

#include "file/config_file.h"
#include "ui/command_runner.h"
#include "ui/main_window_support.h"
#include "ui/window_commands.h"

namespace vexa::ui::testing {
namespace {

const std::string kPumping = VEXA_FIXTURES_DIR "/pumping-station.eep";
const std::string kStartup = VEXA_FIXTURES_DIR "/startup.eep";
const std::string kProgram = "Inicializační program pro zařízení VEXA";
const std::string kUnit = "Zařízení VEXA na COM 1";

struct SafetyTest : MainWindowTest {
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(tmp.isValid());
    AttachLink(*window, tmp.path().toStdString());  // no serial port at all
  }
  // A new window over the start-up configuration (the last one may have
  // ended the program).
  void Fresh() {
    window.reset();
    ws.config = Workspace().config;
    ws.link = LinkState::Neaktivni;
    fx.messages.clear();
    window = std::make_unique<MainWindow>(ws, fx.services);
    AttachLink(*window, tmp.path().toStdString());
    window->show();
    window->activateWindow();
    Settle();
  }
  std::string PathIn(const char* name) const { return QDir(tmp.path()).filePath(QString::fromLatin1(name)).toStdString(); }
  // A read of another unit as the window takes it: the read replaces the
  // configuration, then names the unit.
  void ReadUnit(const std::string& holding) {
    Workspace unit;
    ASSERT_EQ(LoadConfigFile(holding, unit), LoadResult::Loaded);
    ws.config = unit.config;
    window->ConfigReplaced();
    window->setSource(QString::fromStdString(kUnit));
  }
  void Click(QAbstractButton* button) {
    button->click();
    Settle();
  }
  std::string Title() const { return window->windowTitle().toStdString(); }
  QTemporaryDir tmp;
};

// The save dialog starts from the configuration's own file, else from its
// station name; a compared file, a cancelled dialog or the file the window
// held before a read never becomes the proposal.
TEST_F(SafetyTest, EachSaveDialogStartsFromTheConfigurationsOwnName) {
  const std::string station = "Čerpací stanice Horní Lhota – vrt 2.eep";
  const std::string copy = PathIn("kopie.eep");
  struct Case {
    const char* path;
    std::function<void()> before;
    std::string startsFrom;
    std::string title;
  } cases[] = {
      {"start → save", [] {}, "VEXA.eep", kProgram},
      {"load → save",
       [&] {
         fx.files.opens = {kPumping};
         Click(window->btFileLoad());
       },
       kPumping, "pumping-station.eep – " + kProgram},
      {"read → save", [&] { ReadUnit(kPumping); }, station, kUnit + " – " + kProgram},
      {"compare → save",
       [&] {
         fx.files.opens = {kPumping};
         Click(window->btPorovnat());
       },
       "VEXA.eep", kProgram},
      {"failed load → save",
       [&] {
         fx.files.opens = {PathIn("missing.eep")};
         Click(window->btFileLoad());
       },
       "VEXA.eep", kProgram},
      {"read of a unit whose station name no file name can hold → save",
       [&] {
         ws.config.general.JmenoStanice = "Vrt 3/4: sever.";
         window->ConfigReplaced();
         window->setSource(QString::fromStdString(kUnit));
       },
       "Vrt 3_4_ sever.eep", kUnit + " – " + kProgram},
      {"cancelled compare → save",
       [&] {
         fx.files.opens = {std::nullopt};
         Click(window->btPorovnat());
       },
       "VEXA.eep", kProgram},
      {"load A → read another unit → save",
       [&] {
         fx.files.opens = {kStartup};
         Click(window->btFileLoad());
         ReadUnit(kPumping);
       },
       station, kUnit + " – " + kProgram},
      {"save as → save",
       [&] {
         fx.files.saves = {copy};
         Click(window->btFileSave());
         EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
                   "Nastavení bylo uloženo do souboru 'kopie.eep'.");
       },
       copy, "kopie.eep – " + kProgram},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    ws.config = Workspace().config;
    window->ConfigReplaced();
    window->setSource(QString());  // a new start: no file, no unit
    fx.messages.clear();
    c.before();
    EXPECT_EQ(Title(), c.title);
    fx.files.startedFrom.clear();
    fx.files.saves = {std::nullopt};
    Click(window->btFileSave());
    EXPECT_EQ(fx.files.startedFrom, std::vector<std::string>{c.startsFrom});
  }
}

// Quitting, closing the window, reading the unit, opening and dropping a
// file ask about edits kept nowhere: Ano saves and goes on, Ne goes on,
// Storno stays. The title shows "*" while there are such edits.
TEST_F(SafetyTest, UnsavedEditsAreAskedAboutBeforeTheyAreLeftBehind) {
  struct Path {
    const char* what;
    std::function<void()> act;
    std::function<bool()> wentOn;
  } paths[] = {
      {"Ukončit", [&] { Click(window->btKonec()); }, [&] { return !window->isVisible(); }},
      {"closing the window", [&] { window->close(); Settle(); }, [&] { return !window->isVisible(); }},
      {"reading the unit",
       [&] {
         ws.link = LinkState::Aktivni;
         window->LinkStateChanged();
         Click(window->btEEPROMLoad());
       },
       [&] { return fx.messages.texts().back() == texts::kMsgReadSizeUnknown; }},
      {"opening a file",
       [&] {
         fx.files.opens = {kPumping};
         Click(window->btFileLoad());
       },
       [&] { return window->origin().file == kPumping; }},
      {"dropping a file", [&] { window->openFile(QString::fromStdString(kPumping)); Settle(); },
       [&] { return window->origin().file == kPumping; }},
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
TEST_F(SafetyTest, StoppingAWriteAsksFirst) {
  struct Trigger {
    const char* what;
    std::function<void()> act;
  } triggers[] = {
      {"Storno", [&] { fx.progress.ClickStorno(); }},
      {"Ukončit", [&] { window->btKonec()->click(); }},
      {"closing the window", [&] { window->close(); }},
  };
  for (const Trigger& t : triggers) {
    for (const Answer answer : {Answer::No, Answer::Yes}) {
      SCOPED_TRACE(std::string(t.what) + (answer == Answer::Yes ? " Ano" : " Ne"));
      Fresh();
      fx.progress.ws = &ws;
      fx.messages.answers = {answer};
      ws.CancelRequested = false;
      bool visibleWhileWriting = false;
      window->commands().Run([&] {
        window->RunWrite([&] {
          fx.progress.Show(texts::kMsgWriting, true);
          t.act();
          visibleWhileWriting = window->isVisible();
        });
      });
      Settle();
      EXPECT_EQ(fx.messages.noByDefault, std::vector<std::string>{texts::kMsgStopWriteQuestion});
      EXPECT_EQ(ws.CancelRequested, answer == Answer::Yes);
      EXPECT_TRUE(visibleWhileWriting);
      // Outside a write Storno asks nothing.
      fx.messages.clear();
      fx.progress.Show(texts::kMsgReading, true);
      fx.progress.ClickStorno();
      EXPECT_TRUE(fx.messages.shown.empty());
    }
  }
}

// After a command the focus goes back where it was, or to the tabs when the
// command brought another tab forward; never to "Kontrolovat zápis do
// EEPROM", where one Space would untick it.
TEST_F(SafetyTest, TheFocusReturnsAfterACommand) {
  // What a read does to the window: the fields locked while the unit
  // answers (the focus leaves them), the first tab brought forward.
  auto read = [&] {
    window->commands().Run([&] {
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
      {"tabPIN", [&] { Click(window->btFileSave()); }, false},
      {"tabPIN", read, false},
      {"tabOUTNazev0", read, true},
      {"tabOUTNazev0", [&] { Click(window->btFileLoad()); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + (c.tabBroughtForward ? " tab brought forward" : ""));
    fx.files.saves = {std::nullopt};
    fx.files.opens = {kPumping};
    Enter(Edit(c.field));
    c.command();
    Settle();
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    if (c.tabBroughtForward) {
      EXPECT_TRUE(focus == window->tabList() || window->tabList()->isAncestorOf(focus)) << focus->objectName().toStdString();
    } else {
      EXPECT_EQ(focus, Edit(c.field)) << focus->objectName().toStdString();
    }
  }
}

}  // namespace
}  // namespace vexa::ui::testing
