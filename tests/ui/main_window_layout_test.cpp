// The main window as the technician first sees it: captions, tabs, panels,
// enabled and hidden states, the start-up display and a tidy layout.
//
// With VEXA_SHOTS_DIR set, a picture of every tab is saved there.
#include <QProgressBar>
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

#include "qt/progress_window.h"
#include "ui/about_box.h"
#include "ui/main_window_support.h"
#include "support/find_child.h"

namespace vexa::ui::testing {
namespace {

using LayoutTest = MainWindowTest;

// Hidden by the window itself (not merely on a tab that is not in front).
bool ExplicitlyHidden(const QWidget* w) {
  for (; w != nullptr && qobject_cast<const QStackedWidget*>(w->parentWidget()) == nullptr; w = w->parentWidget()) {
    if (w->isHidden()) return true;
  }
  return false;
}

// The scroll areas of a tab page, the page itself included.
QList<QScrollArea*> ScrollAreasOf(QWidget* page) {
  QList<QScrollArea*> areas = page->findChildren<QScrollArea*>();
  if (auto* self = qobject_cast<QScrollArea*>(page)) areas.prepend(self);
  return areas;
}

TEST_F(LayoutTest, CaptionTabsAndPanels) {
  EXPECT_EQ(window->objectName(), "Hlavni");
  EXPECT_EQ(window->windowTitle().toStdString(), "Inicializační program pro zařízení VEXA");
  QTabWidget* tabs = Find<QTabWidget>("TabList");
  ASSERT_NE(tabs, nullptr);
  const QStringList expected = {"Všeobecné",          "SMS zprávy",         "Dig. vstupy", "Dig. výstupy",
                                "Analog. vstupy 1-4", "Analog. vstupy 5-8", "Tel. čísla"};
  ASSERT_EQ(tabs->count(), expected.size());
  for (int i = 0; i < tabs->count(); ++i) EXPECT_EQ(tabs->tabText(i), expected[i]) << i;
  EXPECT_EQ(tabs->currentIndex(), 0);
  // The panels' titles are in the texts test, with the fields in them.
}

// The captions of the buttons and boxes are in the texts test.
TEST_F(LayoutTest, ProgramSettingsStartTickedAndBound) {
  EXPECT_TRUE(Check("tabCheckWrite")->isChecked());
  EXPECT_TRUE(Check("tabUTOEnable")->isChecked());
  Check("tabCheckWrite")->click();
  EXPECT_FALSE(ws.settings.CheckWrite);
}

TEST_F(LayoutTest, StartupStatesOfTheControls) {
  struct Case {
    const char* name;
    bool enabled;
    bool hidden;
  };
  const Case cases[] = {
      // power-save: options disabled, period lines hidden and disabled
      {"opEnablePS0", false, false},
      {"opEnablePS1", false, false},
      {"tabPSOnH", false, true},
      {"tabPSOffM", false, true},
      {"lblPSOn", false, true},
      {"tabSuperPS", false, true},
      {"tabPSOutOff", false, true},
      // not-authorised report: hidden, its text disabled
      {"tabNotAuthorized", true, true},
      {"tabPrepnoutNepovolPristup", true, true},
      {"rtNotAuthorized", false, true},
      {"lblNotAuthorized", false, true},
      // report groups with their flags clear
      {"rtPowerUp", false, false},
      {"lblPowerDown", false, false},
      {"rtSwitchOn", false, false},
      {"lblSwitchOff", false, false},
      {"rtBattLow", true, false},
      // rows that can be edited
      {"tabINPNazev3", true, false},
      {"tabINPbt3", true, false},
      {"tabOUTZap1", true, false},
      {"tabOUTimpulsLEN0", true, false},
      {"tabAINCL1Level0", true, false},
      {"tabTC7", true, false},
      // disabled rows
      {"tabINPjmeno4", false, false},
      {"tabINPNazev4", false, false},
      {"tabINPZpr7", false, false},
      {"tabINPbt4", false, false},
      {"tabOUTNazev2", false, false},
      {"tabOUTbt7", false, false},
      {"tabAINNazev1", false, false},
      {"tabAINCL1Dn7", false, false},
      {"tabAINbt7", false, false},
      // pulse lengths of O2..O8 hidden
      {"tabOUTimpulsLEN1", true, true},
      {"tabOUTimpulsLEN2", false, true},
      // link panel
      {"btDEA", false, false},
      {"tabPort", true, false},
      {"btEEPROMSave", false, false},
      {"btEEPROMLoad", false, false},
      {"btFileSave", true, false},
      {"btFileLoad", true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget* w = Find(c.name);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->isEnabled(), c.enabled);
    EXPECT_EQ(ExplicitlyHidden(w), c.hidden);
  }
}

TEST_F(LayoutTest, DisabledRowsAreGreyed) {
  QLineEdit* off = Edit("tabINPNazev5");
  QLineEdit* on = Edit("tabINPNazev0");
  const QColor offBase = off->palette().color(QPalette::Disabled, QPalette::Base);
  EXPECT_EQ(offBase, off->palette().color(QPalette::Active, QPalette::Button));
  EXPECT_NE(on->palette().color(QPalette::Active, QPalette::Base), offBase);
}

TEST_F(LayoutTest, StartupDisplay) {
  EXPECT_EQ(Usage(), CoreUsage(Workspace().config).usageText);
  EXPECT_EQ(Free(), "?");
  EXPECT_EQ(FreeColour(), QColor(0, 0, 255));
  for (const char* name : {"lblInfoProdukt", "lblInfoVerze", "lblInfoModem", "lblInfoPamSize"}) {
    EXPECT_EQ(Label(name)->text(), "?") << name;
  }
  QLabel* state = Label("tabDeAktivNapis");
  EXPECT_EQ(state->text().toStdString(), "Neaktivní");
  EXPECT_EQ(state->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  auto* port = Find<QComboBox>("tabPort");
  ASSERT_EQ(port->count(), 4);
  EXPECT_EQ(port->currentText(), "COM 1");
  EXPECT_EQ(port->itemText(3), "COM 4");
  auto* centre = Find<QComboBox>("tabTCcentra");
  ASSERT_EQ(centre->count(), 3);
  EXPECT_EQ(centre->itemText(0), "+420602909909");
  EXPECT_EQ(centre->itemText(2), "+420608005681");
  EXPECT_EQ(centre->currentText(), "");
  // Computed analog levels.
  for (int row = 0; row < kRows; ++row) {
    EXPECT_EQ(Edit(Cell("tabAINCL1Level", row))->text(), "0") << row;
    EXPECT_EQ(Edit(Cell("tabAINCL2Level", row))->text(), row == kBatteryRow ? "27" : "100") << row;
  }
  EXPECT_EQ(Edit("tabDobaPlatnostiSMS")->text(), "3");
  EXPECT_EQ(Edit(Cell("tabOUTimpulsLEN", 0))->text(), "2");
  EXPECT_EQ(Edit("tabUTO")->text(), "+420");
}

// Those of the named fields are in the texts test.
TEST_F(LayoutTest, TooltipsOfColumnsAndFields) {
  const std::pair<const char*, const char*> cases[] = {
      {"tabINPNazev0", "Název digitálního vstupu"},
      {"tabINPZap2", "Název stavu 'ZAPNUTO' pro tento digitální vstup"},
      {"tabINPLH0", "Název přechodu 'Vypnuto->Zapnuto' pro tento digitální vstup"},
      {"tabINPLHEvent0", "Posílat hlášení při přechodu 'Vypnuto->Zapnuto' pro tento digitální vstup"},
      {"tabINPNeg1", "Negace stavů Zapnuto<->Vypnuto"},
      {"tabINPZpr0", "Uvádět ve zprávě informace o tonto digitálním vstupu"},
      {"tabOUTimpulsLEN0", "doba trvání impulsu (0-255) x 0,1 sekund (např. 125=12,5 sekund)"},
      {"tabAINCL1Level0", "Hodnota úrovně CL1"},
      {"tabAINHCL1Level0", "Hodnota  hystereze CL1"},
      {"tabAINCL1Up0", "Text SMS zprávy při přechodu přes CL1 nahoru"},
      {"tabAINCL2DnEvent0", "Posílat SMS zprávu při přechodu přes CL2 dolu"},
      {"tabAINZpr0", "Po hodnotě uvádět jméno stavu"},
      {"tabAINPrc0", "Po hodnotě uvádět hodnotu"},
      {"tabAINCL1Dn6", "Text SMS zprávy při přechodu přes CL1 dolu"},
      {"tabTC0", "Telefonní číslo"},
      {"tabTCPrijem0", "Přijímat příkazy z tohoto tel. čísla"},
      {"tabTCUdalost0", "Odesílat zprávy o událostech na toto tel. číslo"},
  };
  for (const auto& [name, tip] : cases) {
    QWidget* w = Find(name);
    ASSERT_NE(w, nullptr) << name;
    EXPECT_EQ(w->toolTip().toStdString(), tip) << name;
  }
}

TEST_F(LayoutTest, EveryTextFieldHasAnAccessibleName) {
  int fields = 0;
  for (QLineEdit* e : window->findChildren<QLineEdit*>()) {
    ++fields;
    EXPECT_FALSE(e->accessibleName().isEmpty()) << e->objectName().toStdString();
  }
  EXPECT_GT(fields, 150);
  EXPECT_EQ(Edit("tabPIN")->accessibleName(), "PIN");
  EXPECT_EQ(Edit(Cell("tabINPNazev", 0))->accessibleName(), "Název I1");
  EXPECT_EQ(Edit(Cell("tabAINCL1Dn", 7))->accessibleName(), "Text CL1 dolu BAT");
}

TEST_F(LayoutTest, EveryFieldHasItsControl) {
  // Every configuration field but the two send-at-once flags of the inputs
  // (edited in the input editor only) is shown in the window.
  for (int i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    if (f == Field::MaskDInLHAlarm || f == Field::MaskDInHLAlarm) continue;
    const bool rows = InfoOf(f).family != Family::General && InfoOf(f).family != Family::Program;
    for (int row = 0; row < (rows ? kRows : 1); ++row) {
      EXPECT_NE(Fields().control({f, row}), nullptr) << InfoOf(f).name << row;
    }
  }
  EXPECT_EQ(Fields().control({Field::EnablePS}), Find("opEnablePS1"));
}

TEST_F(LayoutTest, NothingIsClippedAtTheDefaultSize) {
  // The default size on a screen that has room for it (the offscreen test
  // screen is smaller).
  window->resize(1280, 720);
  QTabWidget* tabs = Child<QTabWidget>(*window, "TabList");
  for (int t = 0; t < tabs->count(); ++t) {
    SCOPED_TRACE(tabs->tabText(t).toStdString());
    tabs->setCurrentIndex(t);
    Settle();
    for (QLabel* l : window->findChildren<QLabel*>()) {
      if (!l->isVisible() || l->text().isEmpty() || l->wordWrap()) continue;
      EXPECT_GE(l->width(), l->minimumSizeHint().width()) << l->text().toStdString();
      EXPECT_GE(l->height(), l->minimumSizeHint().height()) << l->text().toStdString();
    }
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
      if (!b->isVisible()) continue;
      EXPECT_GE(b->width(), b->minimumSizeHint().width()) << b->objectName().toStdString();
    }
    // The tables fit without scrolling sideways.
    for (QScrollArea* s : ScrollAreasOf(tabs->widget(t))) {
      EXPECT_FALSE(s->horizontalScrollBar()->isVisible());
      EXPECT_FALSE(s->verticalScrollBar()->isVisible());
    }
    // Every visible text cell is wide enough to read a few characters.
    for (QLineEdit* e : tabs->widget(t)->findChildren<QLineEdit*>()) {
      if (!e->isVisible()) continue;
      EXPECT_GE(e->width(), e->fontMetrics().horizontalAdvance(QStringLiteral("0000")))
            << e->objectName().toStdString();
    }
    const QString shots = qEnvironmentVariable("VEXA_SHOTS_DIR");
    if (!shots.isEmpty()) {
      QDir().mkpath(shots);
      window->grab().save(QDir(shots).filePath(QStringLiteral("main-tab%1.png").arg(t)));
    }
  }
}

TEST_F(LayoutTest, TablesScrollWhenTheWindowIsSmall) {
  // The window fits a screen 1152 pixels wide.
  window->resize(700, 420);
  Child<QTabWidget>(*window, "TabList")->setCurrentIndex(kTabAnalog14);
  Settle();
  EXPECT_LE(window->width(), 1100);
  auto areas = ScrollAreasOf(Child<QTabWidget>(*window, "TabList")->widget(kTabAnalog14));
  ASSERT_EQ(areas.size(), 1);
  EXPECT_TRUE(areas[0]->horizontalScrollBar()->isVisible());
  // A field out of sight is scrolled into view when it gets the focus back.
  areas[0]->horizontalScrollBar()->setValue(0);
  window->FocusField({Field::AINZpr, 0});
  Settle();
  EXPECT_TRUE(Check(Cell("tabAINZpr", 0))->hasFocus());

  EXPECT_GT(areas[0]->horizontalScrollBar()->value(), 0);
}

TEST_F(LayoutTest, AboutBoxAndProgressWindow) {
  AboutBox& about = window->aboutBox();
  EXPECT_EQ(about.objectName(), "InfoProgram");
  EXPECT_EQ(about.windowTitle().toStdString(), "Informace o programu VEXA");
  EXPECT_EQ(about.closeButton()->objectName(), "blZavrit");
  EXPECT_EQ(about.closeButton()->text().toStdString(), "&Zavřít");
  const QStringList lines = AboutText().split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 9);
  EXPECT_EQ(lines[0], "VEXA verze 1.0");
  EXPECT_TRUE(lines[2].isEmpty());
  EXPECT_EQ(lines[3], QString(92, QLatin1Char('-')));
  EXPECT_EQ(lines[4].toStdString(), "Verze procesoru zařízení 1.0 a vyšší");
  EXPECT_EQ(lines[5].toStdString(), "Verze komunikačního protokolu 1.15");
  EXPECT_EQ(lines[6], QString(92, QLatin1Char('-')));
  EXPECT_FALSE(AboutText().contains(QRegularExpression(QStringLiteral("[^\r]\n"))));

  // "&Informace" shows it modally; "&Zavřít" hides it.
  QTimer::singleShot(0, [&about] {
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(about.isModal());
    about.closeButton()->click();
  });
  Child<QPushButton>(*window, "btInformace")->click();
  EXPECT_FALSE(about.isVisible());

  const QString shots = qEnvironmentVariable("VEXA_SHOTS_DIR");
  if (!shots.isEmpty()) {
    about.show();
    Settle();
    about.grab().save(QDir(shots).filePath(QStringLiteral("about.png")));
    about.hide();
  }
}

TEST(ProgressWindowTest, ShowStornoAndClose) {
  bool cancel = false;
  QWidget owner;
  owner.show();
  qt::QtProgressWindow progress(cancel, &owner);
  EXPECT_FALSE(progress.isCreated());  // created on first use

  progress.Show("Program se pokouší navázat komunikaci ...", true);
  qt::InfoWindow& info = progress.window();
  EXPECT_EQ(info.objectName(), "Info");
  EXPECT_EQ(info.windowTitle(), "VEXA");
  EXPECT_FALSE(info.isModal());
  EXPECT_EQ(info.parentWidget(), &owner);
  EXPECT_TRUE(info.isVisible());
  EXPECT_EQ(info.napis()->objectName(), "Napis");
  EXPECT_EQ(info.napis()->text().toStdString(), "Program se pokouší navázat komunikaci ...");
  EXPECT_EQ(info.storno()->objectName(), "Storno");
  EXPECT_EQ(info.storno()->text(), "Storno");
  EXPECT_TRUE(info.storno()->isVisible());

  // Storno sets the flag and hides the window at once.
  info.storno()->click();
  EXPECT_TRUE(cancel);
  EXPECT_FALSE(info.isVisible());

  // Shown again: new text, no Storno; the close box cannot cancel then.
  progress.Show("Převádím data ...", false);
  EXPECT_TRUE(info.isVisible());
  EXPECT_FALSE(info.storno()->isVisible());
  cancel = false;
  info.reject();
  EXPECT_TRUE(info.isVisible());
  EXPECT_FALSE(cancel);
  progress.SetText("Tisknu stranu 1");
  EXPECT_EQ(info.napis()->text(), "Tisknu stranu 1");
  const QString shots = qEnvironmentVariable("VEXA_SHOTS_DIR");
  if (!shots.isEmpty()) info.grab().save(QDir(shots).filePath(QStringLiteral("progress.png")));

  // Blocks of a transfer: the bar appears with them and goes with the next
  // Show.
  EXPECT_FALSE(info.bar()->isVisible());
  progress.SetProgress(2, 0);  // no total yet: the bar only says that it runs
  EXPECT_TRUE(info.bar()->isVisible());
  EXPECT_EQ(info.bar()->maximum(), 0);
  progress.SetProgress(3, 40);
  EXPECT_TRUE(info.bar()->isVisible());
  EXPECT_EQ(info.bar()->value(), 3);
  EXPECT_EQ(info.bar()->maximum(), 40);
  // A block every 0.6 s; then none for 5 s: the cable hint under the text,
  // until the next block.
  for (long done = 4; done <= 6; ++done) {
    info.advanceClock(600);
    progress.SetProgress(done, 40);
  }
  EXPECT_TRUE(info.timeLeft()->text().startsWith(QString::fromUtf8("Zbývá asi ")));  // the figure is the pace's
  info.advanceClock(5000);
  EXPECT_TRUE(info.napis()->text().endsWith(QString::fromUtf8(texts::kMsgNoAnswer)));
  if (!shots.isEmpty()) info.grab().save(QDir(shots).filePath(QStringLiteral("progress-no-answer.png")));
  progress.SetProgress(7, 40);
  EXPECT_FALSE(info.napis()->text().contains(QString::fromUtf8(texts::kMsgNoAnswer)));
  progress.Show("Ukládám data z PC do EEPROM.", true);
  EXPECT_FALSE(info.bar()->isVisible());

  progress.Close();
  EXPECT_FALSE(info.isVisible());
  progress.Close();  // harmless when hidden
  EXPECT_FALSE(info.isVisible());
}

}  // namespace
}  // namespace vexa::ui::testing
