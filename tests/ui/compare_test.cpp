// "Porovnat se souborem": the window's configuration against a ".eep" file,
// which is decoded on its own and never into the window. With VEXA_SHOTS_DIR
// set, the "Nastavení" panel and the compare window are saved as PNG files.
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <functional>

#include "file/config_file.h"
#include "ui/compare_dialog.h"
#include "ui/compare_wiring.h"
#include "ui/compare_wiring.h"
#include "ui/window_commands.h"
#include "ui/main_window_support.h"
#include "workflows/unit_workflows.h"
#include "workspace/compare.h"
#include "support/find_child.h"

namespace vexa::ui::testing {
namespace {

void Shot(QWidget& w, const char* name) {
  const QString dir = QString::fromLocal8Bit(qgetenv("VEXA_SHOTS_DIR"));
  if (dir.isEmpty()) return;
  QDir().mkpath(dir);
  EXPECT_TRUE(w.grab().save(dir + QLatin1Char('/') + QLatin1String(name) + ".png")) << name;
}

std::vector<std::string> Row(QTableWidget& t, int row) {
  std::vector<std::string> cells;
  for (int c = 0; c < t.columnCount(); ++c) cells.push_back(t.item(row, c) ? t.item(row, c)->text().toStdString() : "");
  return cells;
}

TEST_F(MainWindowTest, CompareWithFileShowsTheDifferencesOrTheMessage) {
  const std::string fixtures = VEXA_FIXTURES_DIR;
  Workspace station;
  ASSERT_EQ(LoadConfigFile(fixtures + "/pumping-station.eep", station), LoadResult::Loaded);
  // The window holds the pumping station under another name, one flag changed.
  ws.config = station.config;
  ws.config.general.JmenoStanice = "Lhota II";
  const bool pinAuth = !station.config.general.PINAuth;
  ws.config.general.PINAuth = pinAuth;
  window->ShowAll();
  QTemporaryDir tmp;
  const std::string same = tmp.filePath(QStringLiteral("same.eep")).toStdString();
  {
    Workspace copy;
    copy.config = ws.config;
    ASSERT_EQ(SaveConfigFile(same, copy), SaveResult::Saved);
  }
  const std::string missing = tmp.filePath(QStringLiteral("missing.eep")).toStdString();
  const std::string damaged = fixtures + "/bad-checksum.eep";

  const DeviceConfig config = ws.config;
  const EepromImage image = ws.image;
  struct Case {
    std::string file;
    std::vector<std::string> messages;
    std::vector<std::vector<std::string>> rows;  // the table, when shown
  } cases[] = {
      {fixtures + "/pumping-station.eep",
       {},
       {{FieldCaption({Field::JmenoStanice, 0}), "Lhota II", station.config.general.JmenoStanice},
        {FieldCaption({Field::PINAuth, 0}), pinAuth ? "ano" : "ne", pinAuth ? "ne" : "ano"}}},
      {same, {texts::kMsgSameSettings}, {}},
      // The file reader's reasons beneath these messages are its own.
      {missing, {texts::ConfigFileLoadErrorText(missing)}, {}},
      {damaged, {texts::ConfigFileFormatErrorText(damaged)}, {}},
  };
  auto* button = Find<QPushButton>(QStringLiteral("btPorovnat"));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text().toStdString(), "Porovnat se souborem");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    if (CompareDialog* d = CompareDialogOf(*window)) d->hide();
    fx.messages.clear();
    fx.files.opens = {c.file};
    button->click();
    Settle();
    EXPECT_EQ(fx.messages.firstLines(), c.messages);
    CompareDialog* dialog = CompareDialogOf(*window);
    ASSERT_EQ(dialog != nullptr && dialog->isVisible(), !c.rows.empty());
    if (!c.rows.empty()) {
      QTableWidget& t = *dialog->table();
      EXPECT_EQ((std::vector<std::string>{t.horizontalHeaderItem(0)->text().toStdString(),
                                          t.horizontalHeaderItem(1)->text().toStdString(),
                                          t.horizontalHeaderItem(2)->text().toStdString()}),
                (std::vector<std::string>{"Položka", "V programu", "V souboru"}));
      ASSERT_EQ(t.rowCount(), static_cast<int>(c.rows.size()));
      for (int r = 0; r < t.rowCount(); ++r) EXPECT_EQ(Row(t, r), c.rows[r]);
      Shot(*dialog, "compare-dialog");
    }
    EXPECT_EQ(ws.config, config);
    EXPECT_TRUE(ws.image == image);
  }
  Shot(*Find<QGroupBox>(QStringLiteral("frNastaveni")), "nastaveni-panel");
}

// An unchanged configuration compared with its own file, or with the unit it
// was written to, shows no difference, although the window holds a value the
// encoder does not keep (a report flag whose text is empty is stored off).
TEST_F(MainWindowTest, UnchangedConfigurationShowsNoPhantomChange) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  ws.config.general.NotAuthorized = true;
  ws.config.general.rtNotAuthorized.clear();
  ws.config.analogs[0].AINCL1Level = "12.50";  // stored as a number
  window->ShowAll();
  const DeviceConfig stored = StoredForm(ws.config, ws.scales, ws.decimalSeparator);
  ASSERT_FALSE(CompareConfigs(ws.config, stored).empty());  // what a field-by-field comparison saw

  const std::string path = tmp.filePath(QStringLiteral("stanice.eep")).toStdString();
  auto* compare = Find<QPushButton>(QStringLiteral("btPorovnat"));
  ASSERT_NE(compare, nullptr);
  struct Case {
    const char* name;
    std::function<void()> act;
  } cases[] = {
      {"saved, then compared with the file",
       [&] {
         fx.files.saves = {path};
         Child<QToolButton>(*window, "btFileSave")->click();
         fx.files.opens = {path};
         compare->click();
       }},
      {"written unchanged: the backup against the window",
       [&] {
         Comparing comparing(ws, fx.services, *window);
         comparing.ShowWriteChanges(WriteBackup{"zaloha.eep", stored, true});
         EXPECT_TRUE(comparing.dialog() == nullptr || !comparing.dialog()->isVisible());
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fx.messages.clear();
    c.act();
    Settle();
    EXPECT_EQ(fx.messages.texts(), std::vector<std::string>{texts::kMsgSameSettings});
    EXPECT_TRUE(CompareDialogOf(*window) == nullptr || !CompareDialogOf(*window)->isVisible());
  }
}

}  // namespace
}  // namespace vexa::ui::testing
