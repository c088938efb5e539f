// Editing in the main window: typing limits, the usage display, the rules
// that run when a field is left, the enabling rules and the row actions.
#include <QComboBox>
#include <QDialog>
#include <QFocusEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include "ui/main_window_support.h"
#include "support/find_child.h"

namespace vexa::ui::testing {
namespace {

using FieldsTest = MainWindowTest;

// The modal dialog that is up, once it is; closed with OK or Storno.
void CloseNextDialog(bool ok, QString* caption = nullptr, const std::function<void(QDialog*)>& edit = {}) {
  QTimer::singleShot(0, [=] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (d == nullptr) return;
    if (caption != nullptr) *caption = d->windowTitle();
    if (edit) edit(d);
    if (ok) {
      for (QPushButton* b : d->findChildren<QPushButton*>()) {
        if (b->text() == QStringLiteral("&Ok")) {
          b->click();
          return;
        }
      }
    }
    d->reject();
  });
}

TEST_F(FieldsTest, TypingIsLimitedByTheFieldsLength) {
  const std::pair<const char*, int> cases[] = {
      {"tabJmenoStanice", 100},   {"tabPIN", 8},         {"rtBattLow", 100},
      {"tabDobaPlatnostiSMS", 2}, {"tabINPNazev0", 100}, {"tabOUTimpulsLEN0", 5},
      {"tabAINCL1Level0", 4},     {"tabTC0", 50},        {"tabUTO", 4},
      {"tabOUTZap1", 100},        {"tabAINCL2Dn0", 100},
  };
  for (const auto& [name, limit] : cases) {
    SCOPED_TRACE(name);
    QLineEdit* e = Edit(name);
    Type(e, QString(limit + 3, QLatin1Char('7')));
    EXPECT_EQ(e->text().size(), limit);
    const FieldRef f = FieldRefOf(e);
    EXPECT_EQ(TextOf(ws.config, ws.settings, f)->size(), static_cast<std::size_t>(limit));
  }
}

TEST_F(FieldsTest, UsageFollowsEveryKeystrokeInACountedText) {
  struct Case {
    const char* name;
    const char* typed;
  };
  // One text of each kind of field; the figures themselves are the core's.
  const Case cases[] = {
      {"tabJmenoStanice", "A"}, {"tabINPNazev0", "Dvere"}, {"tabAINCL1Up0", "x"},
      {"rtBattLow", "Bat"},        // also the CL1-down text of BAT
      {"tabTC3", "+420123456789"},  // a phone number
  };
  const Workspace fresh;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.typed);
    ws.config = fresh.config;
    ws.settings = fresh.settings;
    window->ConfigReplaced();
    ASSERT_EQ(Usage(), CoreUsage(fresh.config).usageText);
    // The core's figure for the same text put straight into the field.
    QLineEdit* e = Edit(c.name);
    DeviceConfig typed = fresh.config;
    ProgramSettings settings = fresh.settings;
    *TextOf(typed, settings, FieldRefOf(e)) = c.typed;
    Type(e, QString::fromUtf8(c.typed));
    EXPECT_EQ(Usage(), CoreUsage(typed).usageText);
  }
  // Centre number typed into the combo box and chosen from its list.
  window->ConfigReplaced();
  auto* centre = Find<QComboBox>("tabTCcentra");
  DeviceConfig chosen = ws.config;
  centre->setCurrentIndex(1);
  EXPECT_EQ(ws.config.general.TCcentra, "+420603052000");
  chosen.general.TCcentra = "+420603052000";
  EXPECT_EQ(Usage(), CoreUsage(chosen).usageText);
}

TEST_F(FieldsTest, FreeSpaceFollowsTheIdentifiedMemory) {
  // Room to spare and too little room (the figures are the core's).
  for (const char* memory : {" 16320 byte", "    64 byte"}) {
    SCOPED_TRACE(memory);
    const MemoryUsage expected = CoreUsage(ws.config, memory);
    window->LinkStateChanged(LinkState::Neaktivni, {.MemorySize = memory});
    EXPECT_EQ(Label("lblInfoPamSize")->text().toStdString(), memory);
    EXPECT_EQ(Free(), expected.freeText);
    EXPECT_EQ(FreeColour(), ColourOf(expected.freeColour));
  }
  // Typing moves the free space too.
  window->LinkStateChanged(LinkState::Neaktivni, {.MemorySize = "   448 byte"});
  DeviceConfig typed = ws.config;
  typed.general.JmenoStanice = "A";
  Type(Edit("tabJmenoStanice"), "A");
  EXPECT_EQ(Free(), CoreUsage(typed, "   448 byte").freeText);
}

TEST_F(FieldsTest, LinkStateDisplay) {
  struct Case {
    LinkState state;
    const char* caption;
    QColor colour;
    bool portEnabled;
    const char* button;
    bool eepromBefore;
    bool eepromAfter;
  };
  const Case cases[] = {
      {LinkState::Aktivni, "Aktivní", QColor(0, 0, 255), false, "Deaktivovat", false, true},
      {LinkState::Neaktivni, "Neaktivní", QColor(255, 0, 0), true, "Aktivovat", true, false},
      // Left as they were in the wrong-device state.
      {LinkState::AktivniSpatnaVerze, "Chybné zařízení", QColor(0, 0, 255), false, "Deaktivovat", false, false},
      {LinkState::AktivniSpatnaVerze, "Chybné zařízení", QColor(0, 0, 255), false, "Deaktivovat", true, true},
  };
  const DeviceInfo identified = {"VEXA", "1.5", "  8128 byte", "TC35 Siemens"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    Child<QToolButton>(*window, "btEEPROMLoad")->setEnabled(c.eepromBefore);
    Child<QToolButton>(*window, "btEEPROMSave")->setEnabled(c.eepromBefore);
    window->LinkStateChanged(c.state, identified);
    EXPECT_EQ(Child<QLabel>(*window, "tabDeAktivNapis")->text().toStdString(), c.caption);
    EXPECT_EQ(Child<QLabel>(*window, "tabDeAktivNapis")->palette().color(QPalette::WindowText), c.colour);
    EXPECT_EQ(Child<PortSelector>(*window, "tabPort")->isEnabled(), c.portEnabled);
    EXPECT_EQ(Child<QPushButton>(*window, "btDEA")->text().toStdString(), c.button);
    EXPECT_EQ(Child<QToolButton>(*window, "btEEPROMLoad")->isEnabled(), c.eepromAfter);
    EXPECT_EQ(Child<QToolButton>(*window, "btEEPROMSave")->isEnabled(), c.eepromAfter);
    EXPECT_EQ(Label("lblInfoProdukt")->text(), "VEXA");
    EXPECT_EQ(Label("lblInfoVerze")->text(), "1.5");
    EXPECT_EQ(Label("lblInfoModem")->text(), "TC35 Siemens");
    EXPECT_EQ(Label("lblInfoPamSize")->text(), "  8128 byte");
    EXPECT_EQ(Free(), CoreUsage(ws.config, "  8128 byte").freeText);
  }
  // The port selector is bound to the settings.
  window->LinkStateChanged(LinkState::Neaktivni, identified);
  Child<PortSelector>(*window, "tabPort")->setCurrentIndex(2);
  EXPECT_EQ(ws.settings.Port, "COM 3");
}

TEST_F(FieldsTest, BatteryTextIsShownInBothPlacesAtOnce) {
  QLineEdit* battery = Edit("rtBattLow");
  QLineEdit* cl1Down = Edit(Cell("tabAINCL1Dn", kBatteryRow));
  Enter(battery);
  QTest::keyClicks(battery, "Slaba");
  EXPECT_EQ(cl1Down->text(), "Slaba");  // before the field is left
  EXPECT_EQ(ws.config.analogs[kBatteryRow].AINCL1Dn, "Slaba");
  EXPECT_FALSE(Check(Cell("tabAINCL1DnEvent", kBatteryRow))->isChecked());
  // Leaving it ticks the CL1-down SMS of BAT.
  MoveTo(Edit("tabDobaPlatnostiSMS"));
  EXPECT_TRUE(Check(Cell("tabAINCL1DnEvent", kBatteryRow))->isChecked());
  EXPECT_TRUE(ws.config.analogs[kBatteryRow].AINCL1DnEvent);
  EXPECT_TRUE(fx.messages.shown.empty());
  // A decoded CL1-down text of BAT shows in the battery text.
  ws.config.analogs[kBatteryRow].AINCL1Dn = "Baterie";
  window->ConfigReplaced();
  EXPECT_EQ(battery->text(), "Baterie");
  EXPECT_EQ(cl1Down->text(), "Baterie");
}

TEST_F(FieldsTest, FailingRuleReportsSwitchesTabAndPutsTheFocusBack) {
  struct Case {
    const char* name;
    const char* typed;
    int tab;
  };
  // One field of each tab; what each rule says is the rules' own.
  const Case cases[] = {
      {"tabPIN", "12a", 0},       {"tabDobaPlatnostiSMS", "3a", 1}, {"tabINPNazev0", "st", 2},
      {"tabOUTNazev1", "a b", 3}, {"tabAINCL1Level0", "", 4},       {"tabTC2", "12x", 6},
      {"tabJmenoStanice", "500 m³", 0},  // a character the unit cannot store
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fx.messages.clear();
    QLineEdit* e = Edit(c.name);
    Type(e, QString::fromUtf8(c.typed));
    // The user clicks another tab.
    Child<QTabWidget>(*window, "TabList")->setCurrentIndex(c.tab == 5 ? 0 : 5);
    Settle();
    ASSERT_EQ(fx.messages.shown.size(), 1u);
    EXPECT_EQ(fx.messages.shown[0].icon, Icon::Error);
    EXPECT_EQ(fx.messages.shown[0].buttons, Buttons::Ok);
    EXPECT_EQ(Child<QTabWidget>(*window, "TabList")->currentIndex(), c.tab);
    EXPECT_TRUE(e->hasFocus());
    EXPECT_EQ(e->text().toStdString(), c.typed);  // kept as typed
    EXPECT_EQ(e->selectedText(), e->text());
    // Nothing more happens until the field is left again.
    Settle();
    EXPECT_EQ(fx.messages.shown.size(), 1u);
    // Left again unchanged: reported again.
    MoveTo(Find("btInformace"));
    EXPECT_EQ(fx.messages.shown.size(), 2u);
    EXPECT_TRUE(e->hasFocus());
    // Put right, the field can be left.
    Type(e, QString());
    if (std::string(c.name).find("Level") != std::string::npos) Type(e, "1");
    if (std::string(c.name) == "tabDobaPlatnostiSMS") Type(e, "3");
    MoveTo(Find("btInformace"));
    EXPECT_EQ(fx.messages.shown.size(), 2u);
  }
}

TEST_F(FieldsTest, NormalisingRulesRewriteTheFieldSilently) {
  struct Case {
    const char* name;
    const char* typed;
    const char* shown;
  };
  // One field of each table; every rule's outcomes are the rules' own
  // (MainWindowRules.EachFieldGivesOneOutcome in tests/rules).
  const Case cases[] = {
      {"tabDobaPlatnostiSMS", "45", "30"},
      {"tabAINCL2Level0", "2,75", "2.7"},
      {"tabOUTimpulsLEN0", "30", "25.5"},
      {"tabTC1", "0123456789", "+420123456789"},
  };
  const DeviceConfig start = ws.config;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.typed);
    QLineEdit* e = Edit(c.name);
    Type(e, QString::fromUtf8(c.typed));
    MoveTo(Find("btInformace"));
    EXPECT_EQ(e->text().toStdString(), c.shown);
    EXPECT_EQ(*TextOf(ws.config, ws.settings, FieldRefOf(e)), c.shown);
    EXPECT_TRUE(fx.messages.shown.empty());
  }
  // A normalised phone number is counted as stored.
  DeviceConfig shown = start;
  ProgramSettings settings = ws.settings;
  for (const Case& c : cases) *TextOf(shown, settings, FieldRefOf(Edit(c.name))) = c.shown;
  EXPECT_EQ(Usage(), CoreUsage(shown).usageText);
}

TEST_F(FieldsTest, PhonePrefixFollowsTheSettings) {
  Check("tabUTOEnable")->click();
  EXPECT_FALSE(ws.settings.UTOEnable);
  Type(Edit("tabTC0"), "0123456789");
  MoveTo(Find("btInformace"));
  EXPECT_EQ(Edit("tabTC0")->text(), "0123456789");
  Check("tabUTOEnable")->click();
  Type(Edit("tabUTO"), "+421");
  MoveTo(Edit("tabTC0"));
  Type(Edit("tabTC0"), "905111222");
  MoveTo(Find("btInformace"));
  EXPECT_EQ(Edit("tabTC0")->text(), "+421905111222");
}

TEST_F(FieldsTest, CrossRuleReportsAConflictOnce) {
  QLineEdit* on = Edit("tabINPZap0");
  QLineEdit* off = Edit("tabINPVyp0");
  Type(on, "Open");
  Type(off, "OPEN");  // leaving "Zapnuto" for "Vypnuto" passes: that one is still empty
  EXPECT_TRUE(fx.messages.shown.empty());
  MoveTo(on);
  ASSERT_EQ(fx.messages.texts(), std::vector<std::string>{"Název 'Vypnuto' nesmí být stejný jako název 'Zapnuto'."});
  EXPECT_TRUE(off->hasFocus());
  // Leaving "Vypnuto" unchanged reports it again, still once.
  MoveTo(on);
  EXPECT_EQ(fx.messages.shown.size(), 2u);
  EXPECT_TRUE(off->hasFocus());
  // Corrected, both fields can be left.
  Type(off, "Closed");
  MoveTo(on);
  MoveTo(Find("btInformace"));
  EXPECT_EQ(fx.messages.shown.size(), 2u);
}

TEST_F(FieldsTest, OutputCommandsMustNotBePrefixesOfEachOther) {
  Type(Edit("tabOUTZap0"), "ON");
  Type(Edit("tabOUTVyp0"), "ONX");
  MoveTo(Edit("tabOUTimpuls0"));
  EXPECT_EQ(fx.messages.texts(),
            std::vector<std::string>{"Název 'Vypnuto' nesmí být prefixem názvu 'Zapnuto' ani naopak."});
  EXPECT_EQ(Child<QTabWidget>(*window, "TabList")->currentIndex(), kTabDigVystupy);
  Type(Edit("tabOUTVyp0"), "OFF");
  MoveTo(Edit("tabOUTimpuls0"));
  EXPECT_EQ(fx.messages.shown.size(), 1u);
}

TEST_F(FieldsTest, FocusTakenByAnotherWindowRunsNoRule) {
  QLineEdit* pin = Edit("tabPIN");
  Type(pin, "12a");
  QFocusEvent toDialog(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(pin, &toDialog);
  QFocusEvent toPopup(QEvent::FocusOut, Qt::PopupFocusReason);
  QApplication::sendEvent(pin, &toPopup);
  Settle();
  EXPECT_TRUE(fx.messages.shown.empty());
  EXPECT_FALSE(Fields().pending());
}

TEST_F(FieldsTest, ARealMessageBoxTakingTheFocusDoesNotRunTheRulesAgain) {
  // The message box is a real modal dialog: it takes the focus from the
  // window and gives it back when it closes.
  fx.messages.onShow = [](const fake::ShownMessage&) {
    QDialog box;
    auto* ok = new QPushButton(QStringLiteral("OK"), &box);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    QTimer::singleShot(20, &box, &QDialog::accept);
    box.exec();
  };
  QLineEdit* pin = Edit("tabPIN");
  QLineEdit* name = Edit("tabJmenoStanice");
  Type(pin, "12a");
  MoveTo(name);
  for (int i = 0; i < 10; ++i) QTest::qWait(10);
  EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{"PIN je špatně zadán."});
  // When the window is active again the focus is in the field.
  EXPECT_EQ(window->focusWidget(), pin);
  window->activateWindow();
  (void)QTest::qWaitForWindowActive(window.get());  // offscreen windows may never report active
  Settle();
  EXPECT_EQ(fx.messages.shown.size(), 1u);
  EXPECT_EQ(QApplication::focusWidget(), pin);
}

TEST_F(FieldsTest, ButtonActionsWaitForTheFieldBeingLeft) {
  Type(Edit("tabPIN"), "x");
  // The click moves the focus to the button first; the field's rule fails,
  // and the save does not start.
  Child<QToolButton>(*window, "btFileSave")->setFocus(Qt::MouseFocusReason);
  Child<QToolButton>(*window, "btFileSave")->click();
  Settle();
  EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{"PIN je špatně zadán."});
  EXPECT_EQ(fx.files.saveAsked, 0);
  EXPECT_TRUE(Edit("tabPIN")->hasFocus());
}

TEST_F(FieldsTest, ClearingAPhoneNumberWarnsForEachTickedBox) {
  Type(Edit("tabTC2"), "602123456");
  MoveTo(Find("btInformace"));
  Check("tabTCPrijem2")->click();
  Check("tabTCUdalost2")->click();
  EXPECT_TRUE(fx.messages.shown.empty());
  EXPECT_TRUE(ws.config.phones[2].TCPrijem);

  // Each warning comes with its own box cleared.
  std::vector<std::pair<bool, bool>> ticksAtWarning;
  fx.messages.onShow = [&](const fake::ShownMessage&) {
    ticksAtWarning.emplace_back(Check("tabTCPrijem2")->isChecked(), Check("tabTCUdalost2")->isChecked());
  };
  Type(Edit("tabTC2"), "");
  MoveTo(Find("btInformace"));
  ASSERT_EQ(fx.messages.shown.size(), 2u);
  EXPECT_EQ(fx.messages.shown[0].icon, Icon::Warning);
  EXPECT_EQ(ticksAtWarning, (std::vector<std::pair<bool, bool>>{{true, true}, {false, true}}));
  EXPECT_FALSE(Check("tabTCPrijem2")->isChecked());
  EXPECT_FALSE(Check("tabTCUdalost2")->isChecked());
  EXPECT_FALSE(ws.config.phones[2].TCPrijem);
  EXPECT_FALSE(ws.config.phones[2].TCUdalost);
  EXPECT_TRUE(Find("btInformace")->hasFocus());  // a warning does not move the focus
}

TEST_F(FieldsTest, PhoneEditorWarnsOnceTheTableShowsTheEmptiedNumber) {
  ws.config.phones[2] = {"+420601111222", true, false};
  Fields().ShowRow(Family::Phone, 2);
  std::vector<std::pair<QString, bool>> rowAtWarning;
  fx.messages.onShow = [&](const fake::ShownMessage&) {
    rowAtWarning.emplace_back(Edit("tabTC2")->text(), Check("tabTCPrijem2")->isChecked());
  };
  CloseNextDialog(true, nullptr, [](QDialog* d) { d->findChild<QLineEdit*>(QStringLiteral("TC"))->clear(); });
  Find<QAbstractButton>(Cell("tabTCbt", 2))->click();
  // Copied back and shown, then warned, then the box cleared.
  EXPECT_EQ(rowAtWarning, (std::vector<std::pair<QString, bool>>{{QString(), true}}));
  EXPECT_FALSE(Check("tabTCPrijem2")->isChecked());
}

TEST_F(FieldsTest, TickingABoxOfARowWithoutNumberIsUndone) {
  Check("tabTCUdalost5")->click();
  EXPECT_EQ(fx.messages.shown.size(), 1u);
  EXPECT_FALSE(Check("tabTCUdalost5")->isChecked());
  EXPECT_FALSE(ws.config.phones[5].TCUdalost);
}

TEST_F(FieldsTest, ReportGroupsFollowTheirFlags) {
  struct Case {
    const char* flag;
    std::vector<const char*> controls;
  };
  const Case cases[] = {
      {"tabPowerReport", {"rtPowerUp", "lblPowerUp", "rtPowerDown", "lblPowerDown"}},
      {"tabSwitchReport", {"rtSwitchOn", "lblSwitchOn", "rtSwitchOff", "lblSwitchOff"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flag);
    Check(c.flag)->click();
    for (const char* n : c.controls) EXPECT_TRUE(Find(n)->isEnabled()) << n;
    Type(Edit(c.controls[0]), "Zapnuto");
    Check(c.flag)->click();
    for (const char* n : c.controls) EXPECT_FALSE(Find(n)->isEnabled()) << n;
    EXPECT_EQ(Edit(c.controls[0])->text(), "Zapnuto");  // texts kept
  }
}

TEST_F(FieldsTest, DecodedConfigurationAppliesTheEnablingRules) {
  for (bool on : {true, false}) {
    SCOPED_TRACE(on);
    ws.config.general.EnablePS = on;
    ws.config.general.PSOnH = on ? "5" : "7";
    ws.config.general.PowerReport = on;
    ws.config.general.SwitchReport = !on;
    ws.config.general.NotAuthorized = !on;
    window->ConfigReplaced();
    EXPECT_EQ(Child<QRadioButton>(*window, "opEnablePS1")->isChecked(), on);
    EXPECT_EQ(Child<QRadioButton>(*window, "opEnablePS0")->isChecked(), !on);
    for (const char* n : {"tabPSOnH", "tabPSOffM", "lblPSOn", "lblPSOffH", "tabSuperPS", "tabPSOutOff"}) {
      EXPECT_EQ(Find(n)->isEnabled(), on) << n;
      EXPECT_FALSE(Find(n)->isVisibleTo(window.get())) << n;
    }
    EXPECT_EQ(Edit("tabPSOnH")->text(), on ? "5" : "7");  // values never changed by the rule
    EXPECT_EQ(Find("rtPowerUp")->isEnabled(), on);
    EXPECT_EQ(Find("rtSwitchOn")->isEnabled(), !on);
    // The not-authorised text changes with its flag's value.
    EXPECT_EQ(Find("rtNotAuthorized")->isEnabled(), !on);
    EXPECT_FALSE(Child<QRadioButton>(*window, "opEnablePS0")->isEnabled());
    EXPECT_FALSE(Child<QRadioButton>(*window, "opEnablePS1")->isEnabled());
  }
}

TEST_F(FieldsTest, DecodedTextsLongerThanTheFieldAreShownWhole) {
  const std::string longName(140, 'N');
  ws.config.inputs[0].INPNazev = longName;
  window->ConfigReplaced();
  EXPECT_EQ(Edit("tabINPNazev0")->text().toStdString(), longName);
  EXPECT_EQ(ws.config.inputs[0].INPNazev, longName);
  EXPECT_EQ(Usage(), CoreUsage(ws.config).usageText);
}

TEST_F(FieldsTest, EnteringAFieldSelectsItsWholeText) {
  QLineEdit* name = Edit("tabJmenoStanice");
  Type(name, "Stanice 1");
  MoveTo(Edit("tabPIN"));
  QTest::mouseClick(name, Qt::LeftButton, {}, QPoint(name->width() / 2, name->height() / 2));
  Settle();
  EXPECT_TRUE(name->hasFocus());
  EXPECT_EQ(name->selectedText(), "Stanice 1");
  EXPECT_EQ(name->cursorPosition(), 0);
  // Typing replaces it.
  QTest::keyClicks(name, "X");
  EXPECT_EQ(ws.config.general.JmenoStanice, "X");
}

TEST_F(FieldsTest, FieldGivenBackByATabSwitchSelectsItsTextOnTheFirstClick) {
  QLineEdit* name = Edit("tabJmenoStanice");
  Type(name, "Stanice 1");
  auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("TabList"));
  ASSERT_NE(tabs, nullptr);
  tabs->setCurrentIndex(1);
  Settle();
  tabs->setCurrentIndex(0);  // the page hands the focus back to its last field
  Settle();
  ASSERT_TRUE(name->hasFocus());
  name->deselect();
  QTest::mouseClick(name, Qt::LeftButton, {}, QPoint(name->width() / 2, name->height() / 2));
  Settle();
  EXPECT_EQ(name->selectedText(), "Stanice 1");
  // The next click places the caret as usual.
  QTest::mouseClick(name, Qt::LeftButton, {}, QPoint(name->width() / 2, name->height() / 2));
  Settle();
  EXPECT_TRUE(name->selectedText().isEmpty());
}

TEST_F(FieldsTest, RowActionsOpenTheEditorsOfEnabledRows) {
  struct Case {
    const char* control;
    bool doubleClick;
    const char* caption;  // "" when nothing opens
  };
  const Case cases[] = {
      {"tabINPNazev0", true, "Vstup I1"},
      {"tabINPHL3", true, "Vstup I4"},
      {"tabINPbt2", false, "Vstup I3"},
      {"tabOUTNazev1", true, "Výstup O2"},
      {"tabOUTbt0", false, "Výstup O1"},
      {"tabAINCL1Level0", true, "Analogový vstup A1"},
      {"tabTC4", true, "Telefonní číslo T5"},
      {"tabTCbt7", false, "Telefonní číslo T8"},
      {"tabINPNazev5", true, ""},
      {"tabOUTNazev2", true, ""},
      {"tabAINNazev1", true, ""},
      {"tabAINbt7", false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    QString caption;
    CloseNextDialog(false, &caption);
    QWidget* w = Find(c.control);
    if (c.doubleClick) {
      QTest::mouseDClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
    } else {
      QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
    }
    Settle();
    if (*c.caption == '\0') {
      EXPECT_TRUE(caption.isEmpty()) << caption.toStdString();
    } else {
      EXPECT_TRUE(caption.startsWith(QString::fromUtf8(c.caption))) << caption.toStdString();
    }
  }
}

TEST_F(FieldsTest, RowEditedInItsEditorIsShownAgain) {
  CloseNextDialog(true, nullptr, [](QDialog* d) {
    auto* name = d->findChild<QLineEdit*>(QStringLiteral("INPNazev"));
    ASSERT_NE(name, nullptr);
    name->setText(QStringLiteral("Dvere"));
  });
  Find<QAbstractButton>(Cell("tabINPbt", 1))->click();
  EXPECT_EQ(ws.config.inputs[1].INPNazev, "Dvere");
  EXPECT_EQ(Edit("tabINPNazev1")->text(), "Dvere");
  EXPECT_EQ(Usage(), CoreUsage(ws.config).usageText);

  // Storno keeps the row.
  CloseNextDialog(false, nullptr, [](QDialog* d) {
    if (auto* name = d->findChild<QLineEdit*>(QStringLiteral("INPNazev"))) name->setText(QStringLiteral("Okno"));
  });
  Find<QAbstractButton>(Cell("tabINPbt", 1))->click();
  EXPECT_EQ(Edit("tabINPNazev1")->text(), "Dvere");
}

TEST_F(FieldsTest, LeavingTheProgram) {
  std::vector<bool> asked;
  bool allow = false;
  window->setExitGuard([&](bool allowCancel) {
    asked.push_back(allowCancel);
    return allow;
  });
  // "Ukončit" asks; a refusal keeps the program running.
  Child<QPushButton>(*window, "btKonec")->click();
  EXPECT_EQ(asked, std::vector<bool>{true});
  EXPECT_TRUE(window->isVisible());
  allow = true;
  Child<QPushButton>(*window, "btKonec")->click();
  EXPECT_EQ(asked, (std::vector<bool>{true, true}));
  EXPECT_FALSE(window->isVisible());

  // Closing the window asks without Cancel; the guard can only defer it
  // (while a command with the unit is being stopped), then it closes.
  window->show();
  MainWindow second(ws, fx.services);
  bool commandRunning = true;
  second.setExitGuard([&](bool allowCancel) {
    asked.push_back(allowCancel);
    return !commandRunning;
  });
  second.show();
  second.close();
  EXPECT_EQ(asked, (std::vector<bool>{true, true, false}));
  EXPECT_TRUE(second.isVisible());
  commandRunning = false;
  second.close();
  EXPECT_EQ(asked, (std::vector<bool>{true, true, false, false}));
  EXPECT_FALSE(second.isVisible());
}

}  // namespace
}  // namespace vexa::ui::testing
