// Saving and loading ".eep" files from the main window's buttons, with
// scripted dialogs, into a temporary folder.
#include <QComboBox>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>

#include <filesystem>
#include <functional>

#include "file/config_file.h"
#include "ui/main_window_support.h"
#include "workspace/usage.h"
#include "support/find_child.h"

namespace vexa::ui::testing {
namespace {

std::string Fixture(const char* name) { return std::string(VEXA_FIXTURES_DIR) + "/" + name; }

class FilesTest : public MainWindowTest {
 protected:
  std::string PathIn(const char* name) const {
    return QDir(tmp.path()).filePath(QString::fromLatin1(name)).toStdString();
  }
  QTemporaryDir tmp;
};

TEST_F(FilesTest, SaveWritesWhatTheFieldsHold) {
  ASSERT_TRUE(tmp.isValid());
  Type(Edit("tabJmenoStanice"), "Vodárna Dolní Lhota");
  Type(Edit("tabINPNazev0"), "Dvere");
  Type(Edit("tabTC0"), "602123456");
  const std::string path = PathIn("stanice.eep");
  fx.files.saves.push_back(path);
  Child<QToolButton>(*window, "btFileSave")->setFocus(Qt::MouseFocusReason);
  Child<QToolButton>(*window, "btFileSave")->click();
  Settle();

  EXPECT_TRUE(fx.messages.shown.empty());
  EXPECT_EQ(fx.files.saveAsked, 1);

  Workspace other;
  ASSERT_EQ(LoadConfigFile(path, other), LoadResult::Loaded);
  EXPECT_EQ(other.config.general.JmenoStanice, "Vodárna Dolní Lhota");
  EXPECT_EQ(other.config.inputs[0].INPNazev, "Dvere");
  EXPECT_EQ(other.config.phones[0].TC, "+420602123456");  // normalised when the field was left
}

TEST_F(FilesTest, LoadShowsTheWholeConfigurationOnTheFirstTab) {
  Child<QTabWidget>(*window, "TabList")->setCurrentIndex(kTabDigVystupy);
  const std::string path = Fixture("pumping-station.eep");
  fx.files.opens.push_back(path);
  Child<QToolButton>(*window, "btFileLoad")->click();
  Settle();

  ASSERT_EQ(fx.messages.shown.size(), 1u);
  EXPECT_EQ(
      fx.messages.shown[0],
      (fake::ShownMessage{Icon::Information, "Data ze souboru '" + path + "' byla úspěšně načtena.", Buttons::Ok}));
  EXPECT_EQ(Child<QTabWidget>(*window, "TabList")->currentIndex(), kTabVseobecne);
  EXPECT_EQ(fx.progress.log.back(), "close");
  EXPECT_FALSE(fx.progress.visible);

  // Every control shows its field.
  const DeviceConfig& c = ws.config;
  EXPECT_EQ(Edit("tabJmenoStanice")->text().toStdString(), "Čerpací stanice Horní Lhota – vrt 2");
  for (int i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    const bool rows = InfoOf(f).family != Family::General && InfoOf(f).family != Family::Program;
    for (int row = 0; row < (rows ? kRows : 1); ++row) {
      const FieldRef ref{f, row};
      SCOPED_TRACE(FieldDisplayName(ref));
      if (QLineEdit* e = Fields().textEdit(ref)) {
        EXPECT_EQ(e->text().toStdString(), *TextOf(c, ws.settings, ref));
      } else if (QCheckBox* b = qobject_cast<QCheckBox*>(Fields().control(ref))) {
        EXPECT_EQ(b->isChecked(), *FlagOf(c, ws.settings, ref));
      }
    }
  }
  EXPECT_EQ(Child<QRadioButton>(*window, "opEnablePS1")->isChecked(), c.general.EnablePS);
  EXPECT_EQ(Edit("rtBattLow")->text().toStdString(), c.analogs[kBatteryRow].AINCL1Dn);
  EXPECT_EQ(Usage(), CoreUsage(c).usageText);
  // The enabling rules follow the loaded flags.
  EXPECT_EQ(Find("rtPowerUp")->isEnabled(), c.general.PowerReport);
  EXPECT_EQ(Find("rtSwitchOn")->isEnabled(), c.general.SwitchReport);
  EXPECT_EQ(Find("tabPSOnH")->isEnabled(), c.general.EnablePS);
}

// The load button and a file named on the command line (no dialog) take the
// same path: only a sound file replaces the configuration and brings the first
// tab forward; a rejected or failed one leaves the window as it was. The
// reasons beneath the messages are the file workflow's own.
TEST_F(FilesTest, LoadFromTheDialogOrTheCommandLine) {
  struct Case {
    std::string path;
    Icon icon;
    std::string message;  // its first line
    bool loaded;
  };
  const std::string good = Fixture("pumping-station.eep");
  const std::string missing = PathIn("missing.eep");
  const Case cases[] = {
      {Fixture("bad-checksum.eep"), Icon::Information, texts::ConfigFileFormatErrorText(Fixture("bad-checksum.eep")),
       false},
      {Fixture("truncated.eep"), Icon::Information, texts::ConfigFileFormatErrorText(Fixture("truncated.eep")), false},
      {missing, Icon::Error, texts::ConfigFileLoadErrorText(missing), false},
      {good, Icon::Information, "Data ze souboru '" + good + "' byla úspěšně načtena.", true},
  };
  Type(Edit("tabOUTNazev0"), "Cerpadlo");
  MoveTo(Edit("tabOUTZap0"));
  const DeviceConfig edited = ws.config;
  for (const bool commandLine : {false, true}) {
    ws.config = edited;
    window->ConfigReplaced();
    for (const Case& c : cases) {
      SCOPED_TRACE(c.path + (commandLine ? " from the command line" : " from the dialog"));
      Child<QTabWidget>(*window, "TabList")->setCurrentIndex(kTabDigVystupy);
      fx.messages.clear();
      if (commandLine) {
        window->openFile(QString::fromStdString(c.path));
      } else {
        fx.files.opens.push_back(c.path);
        Child<QToolButton>(*window, "btFileLoad")->click();
      }
      Settle();
      ASSERT_EQ(fx.messages.shown.size(), 1u);
      EXPECT_EQ(fx.messages.shown[0].icon, c.icon);
      EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{c.message});
      EXPECT_EQ(Child<QTabWidget>(*window, "TabList")->currentIndex(), c.loaded ? kTabVseobecne : kTabDigVystupy);
      EXPECT_EQ(ws.config == edited, !c.loaded);
      EXPECT_EQ(Edit("tabOUTNazev0")->text().toStdString(), ws.config.outputs[0].OUTNazev);
    }
  }
  EXPECT_EQ(fx.files.openAsked, static_cast<int>(std::size(cases)));  // the command line asks nothing
  EXPECT_EQ(Edit("tabJmenoStanice")->text().toStdString(), "Čerpací stanice Horní Lhota – vrt 2");
}

}  // namespace
}  // namespace vexa::ui::testing
