// One command at a time: a command started while another one yields (its
// progress window up, or a message box of its own) is refused, and the
// progress window stays the running command's.
#include <QDir>
#include <QTemporaryDir>
#include <QPushButton>
#include <QToolButton>

#include "link/unit_session.h"
#include "link/trace.h"
#include "ui/command_runner.h"
#include "ui/main_window_support.h"
#include "ui/window_commands.h"
#include "support/find_child.h"

namespace vexa::ui::testing {
namespace {

struct CommandRunnerTest : MainWindowTest {
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(ports.isValid());
    AttachPrinting(*window);
    AttachLink(*window, ports.path().toStdString());
  }
  std::vector<QAbstractButton*> Controls() const {
    return {Child<QToolButton>(*window, "btFileSave"),   Child<QToolButton>(*window, "btFileLoad"),   Child<QToolButton>(*window, "btTisk"), Child<QToolButton>(*window, "btNahled"),
            Child<QPushButton>(*window, "btDEA"),        Child<QToolButton>(*window, "btEEPROMLoad"), Child<QToolButton>(*window, "btEEPROMSave")};
  }
  QTemporaryDir ports;  // no serial port at all
};

TEST_F(CommandRunnerTest, SecondCommandIsRefusedWhileTheFirstYields) {
  const std::string saved = QDir(ports.path()).filePath(QStringLiteral("x.eep")).toStdString();
  const struct {
    const char* first;
    LinkState link;
  } cases[] = {{"btFileSave", LinkState::Aktivni}, {"btFileLoad", LinkState::Aktivni},
               {"btDEA", LinkState::Neaktivni}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.first);
    window->LinkStateChanged(c.link, DeviceInfo{});
    fx.files.saves = {saved};
    fx.files.opens = {std::string(VEXA_FIXTURES_DIR) + "/pumping-station.eep"};
    auto* first = Find<QAbstractButton>(QString::fromLatin1(c.first));
    ASSERT_TRUE(first->isEnabled());
    int attempts = 0;
    auto tryEveryOther = [&] {
      ws.CancelRequested = true;  // then Storno: an activation stops polling
      if (attempts++ > 0) return;
      const std::vector<std::string> progressBefore = fx.progress.log;
      const int asked = fx.files.saveAsked + fx.files.openAsked;
      for (QAbstractButton* b : Controls()) {
        SCOPED_TRACE(b->objectName().toStdString());
        EXPECT_FALSE(b->isEnabled());
        if (!b->isEnabled()) b->click();  // a disabled button ignores it
        bool ran = false;
        EXPECT_FALSE(Commands().Run([&] { ran = true; }));
        EXPECT_FALSE(ran);
      }
      EXPECT_EQ(fx.progress.log, progressBefore);
      EXPECT_EQ(fx.files.saveAsked + fx.files.openAsked, asked);
    };
    fx.loop.onYield = tryEveryOther;
    fx.messages.onShow = [&](const fake::ShownMessage&) { tryEveryOther(); };
    first->click();
    fx.loop.onYield = nullptr;
    fx.messages.onShow = nullptr;
    EXPECT_GT(attempts, 0);
    EXPECT_FALSE(Commands().running());
    EXPECT_FALSE(fx.progress.visible);
    // Afterwards every control is enabled again as far as the link allows.
    for (QAbstractButton* b : Controls()) {
      const bool eeprom = b == Child<QToolButton>(*window, "btEEPROMLoad") || b == Child<QToolButton>(*window, "btEEPROMSave");
      EXPECT_EQ(b->isEnabled(), !eeprom || c.link == LinkState::Aktivni) << b->objectName().toStdString();
    }
    fx.messages.clear();
  }
}

TEST(CommandRunnerReady, ACommandClickedWhileTheFieldRulesAskIsRefused) {
  // A rule's message box runs an event loop of its own, where a queued
  // click reaches the runner before the first command has begun.
  for (const bool ready : {true, false}) {
    CommandRunner* runner = nullptr;
    int asked = 0;
    bool nestedRan = false;
    CommandRunner commands([&] {
      if (asked++ == 0) runner->Run([&] { nestedRan = true; });
      return ready;
    });
    runner = &commands;
    bool ran = false;
    EXPECT_EQ(commands.Run([&] { ran = true; }), ready);
    EXPECT_EQ(ran, ready);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(nestedRan);
    EXPECT_FALSE(commands.running());
  }
}

TEST_F(CommandRunnerTest, ClosingDuringACommandWaitsForItsEnd) {
  fx.files.saves = {QDir(ports.path()).filePath(QStringLiteral("x.eep")).toStdString()};
  bool visibleAtClose = false;
  fx.loop.onYield = [&] {
    if (!window->close()) visibleAtClose = window->isVisible();
    fx.loop.onYield = nullptr;
  };
  Child<QToolButton>(*window, "btFileSave")->click();
  EXPECT_TRUE(visibleAtClose);
  EXPECT_TRUE(ws.CancelRequested);
  Settle();
  EXPECT_FALSE(window->isVisible());
}

// The program's composition binds every command button to the runner and
// points the link at the trace.
using ComposedWindowTest = MainWindowTest;

TEST_F(ComposedWindowTest, EveryCommandButtonIsBound) {
  link::SteadyClock clock;
  link::Trace trace(clock);
  ComposeWindow(*window, {.trace = &trace, .rememberedFile = {}});
  window->LinkStateChanged(LinkState::Aktivni, DeviceInfo{});
  const std::vector<QAbstractButton*> buttons = {
      Child<QToolButton>(*window, "btFileSave"), Child<QToolButton>(*window, "btFileLoad"),   Child<QPushButton>(*window, "btPorovnat"),   Child<QToolButton>(*window, "btTisk"),
      Child<QToolButton>(*window, "btNahled"),   Child<QPushButton>(*window, "btDEA"),        Child<QToolButton>(*window, "btEEPROMLoad"), Child<QToolButton>(*window, "btEEPROMSave")};
  for (QAbstractButton* b : buttons) EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
  EXPECT_TRUE(Commands().Run([&] {
    for (QAbstractButton* b : buttons) EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
  }));
  ASSERT_NE(LinkOf(*window), nullptr);
  EXPECT_EQ(LinkOf(*window)->trace(), &trace);
  LinkOf(*window)->SetTrace(nullptr);
}

}  // namespace
}  // namespace vexa::ui::testing
