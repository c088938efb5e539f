// Loading a dropped file and the standard shortcuts of the main window.
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>

#include "file/config_file.h"
#include "ui/main_window_support.h"
#include "support/find_child.h"

namespace vexa::ui::testing {
namespace {

const QString kStation = QStringLiteral(VEXA_FIXTURES_DIR "/pumping-station.eep");

class CommandsTest : public MainWindowTest {
 protected:
  // Drags `urls` onto the window and drops them; true when the window took
  // the drag and the drop.
  bool Drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = window->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    Settle();
    return enter.isAccepted() && drop.isAccepted();
  }
  bool StationLoaded() const {
    Workspace station;
    EXPECT_EQ(LoadConfigFile(kStation.toStdString(), station), LoadResult::Loaded);
    return ws.config == station.config;
  }
};

TEST_F(CommandsTest, ADroppedEepFileIsLoadedUnlessACommandRuns) {
  QTemporaryDir dir;
  const QString upper = dir.filePath(QStringLiteral("STATION.EEP")), text = dir.filePath(QStringLiteral("a.txt"));
  ASSERT_TRUE(QFile::copy(kStation, upper));
  ASSERT_TRUE(QFile::copy(kStation, text));
  const QUrl station = QUrl::fromLocalFile(kStation);
  struct Case {
    const char* what;
    QList<QUrl> urls;
    bool loadEnabled;  // btFileLoad (disabled while the unit is being read or written)
    bool loaded;
  };
  const Case cases[] = {
      {"two files", {station, station}, true, false},
      {"remote", {QUrl(QStringLiteral("https://example.org/a.eep"))}, true, false},
      {"not .eep", {QUrl::fromLocalFile(text)}, true, false},
      {"link command", {station}, false, false},
      {"one .eep", {station}, true, true},
      {"upper case", {QUrl::fromLocalFile(upper)}, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ws.config = Workspace().config;
    window->ConfigReplaced();
    fx.messages.clear();
    Child<QToolButton>(*window, "btFileLoad")->setEnabled(c.loadEnabled);
    EXPECT_EQ(Drop(c.urls), c.loaded);
    EXPECT_EQ(StationLoaded(), c.loaded);
    EXPECT_EQ(fx.messages.shown.size(), c.loaded ? 1u : 0u);  // "Data ze souboru ... byla úspěšně načtena."
  }

  // While a file command shows its message, a drop is refused.
  ws.config = Workspace().config;
  window->ConfigReplaced();
  fx.messages.clear();
  fx.files.opens.push_back(dir.filePath(QStringLiteral("missing.eep")).toStdString());
  bool dropped = true;
  fx.messages.onShow = [&](const fake::ShownMessage&) { dropped = Drop({station}); };
  Child<QToolButton>(*window, "btFileLoad")->click();
  fx.messages.onShow = nullptr;
  Settle();
  EXPECT_EQ(fx.messages.shown.size(), 1u);
  EXPECT_FALSE(dropped);
  EXPECT_FALSE(StationLoaded());
}

TEST_F(CommandsTest, EachShortcutActsAsItsButtonWhileItIsEnabled) {
  struct Case {
    Qt::Key key;
    QAbstractButton* button;
  };
  const Case cases[] = {
      {Qt::Key_O, Child<QToolButton>(*window, "btFileLoad")},
      {Qt::Key_S, Child<QToolButton>(*window, "btFileSave")},
      {Qt::Key_P, Child<QToolButton>(*window, "btTisk")},
      {Qt::Key_R, Child<QPushButton>(*window, "btSerie")},
      {Qt::Key_Q, Child<QPushButton>(*window, "btKonec")},  // last: it closes the window
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button->objectName().toStdString());
    QSignalSpy clicks(c.button, &QAbstractButton::clicked);
    for (const bool enabled : {false, true}) {
      c.button->setEnabled(enabled);
      QTest::keyClick(window.get(), c.key, Qt::ControlModifier);
      Settle();
      EXPECT_EQ(clicks.count(), enabled ? 1 : 0);
    }
  }
  EXPECT_EQ(fx.files.openAsked, 1);
  EXPECT_EQ(fx.files.saveAsked, 1);
  EXPECT_FALSE(window->isVisible());  // "Ukončit" with no unit activated ends at once
}

TEST_F(CommandsTest, AShortcutChecksTheFieldBeingEditedFirst) {
  Type(Edit("tabPIN"), QStringLiteral("12a4"));
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
  Settle();
  EXPECT_EQ(fx.files.saveAsked, 0);
  EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{"PIN je špatně zadán."});
  EXPECT_TRUE(Edit("tabPIN")->hasFocus());
}

}  // namespace
}  // namespace vexa::ui::testing
