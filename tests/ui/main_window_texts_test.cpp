// Every text the technician reads, letter for letter: the captions of the
// fields (the label that names each one), the panels and tabs they sit on,
// the row labels of the tables, and the same for the four row editors.
// Double spaces and dotted leaders are part of the texts.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <string>
#include <string_view>
#include <vector>

#include "ui/analog_editor.h"
#include "ui/editor_support.h"
#include "ui/input_editor.h"
#include "ui/main_window_support.h"
#include "ui/output_editor.h"
#include "ui/phone_editor.h"

namespace vexa::ui::testing {
namespace {

constexpr const char* kNone = "<none>";

// What names a control: a button's own text, otherwise the label whose buddy
// it is.
std::string CaptionOf(QWidget* w) {
  if (w == nullptr) return "<missing>";
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().toStdString();
  for (QLabel* l : w->window()->findChildren<QLabel*>()) {
    if (l->buddy() == w) return l->text().toStdString();
  }
  return kNone;
}

// The title of the panel a control sits in ("" for an untitled panel).
std::string PanelOf(const QWidget* w) {
  for (const QWidget* p = w ? w->parentWidget() : nullptr; p != nullptr; p = p->parentWidget()) {
    if (auto* g = qobject_cast<const QGroupBox*>(p)) return g->title().toStdString();
  }
  return kNone;
}

// The number of the tab a control is on, -1 outside the tabs.
int TabOf(const QTabWidget* tabs, const QWidget* w) {
  for (int i = 0; i < tabs->count(); ++i) {
    if (tabs->widget(i)->isAncestorOf(w)) return i;
  }
  return -1;
}

struct Expected {
  const char* control;
  const char* caption;  // the label naming it, or the button's text
  const char* tooltip;  // nullptr: not checked
  const char* panel;    // kNone: in no panel
  int tab;              // -1: outside the tabs
};

using TextsTest = MainWindowTest;

TEST_F(TextsTest, FieldsCarryTheirCaptionsTooltipsPanelsAndTabs) {
  const Expected cases[] = {
      // Tab 0 "Všeobecné"
      {"tabJmenoStanice", "Název stanice:", "Název stanice", "Zařízení", 0},
      {"tabPIN", "PIN:", "PIN SIM karty, která je uložena ve stanici", "Zařízení", 0},
      {"tabTCcentra", "Telefonní číslo servisního centra:", nullptr, "Zařízení", 0},
      {"opEnablePS0", "Bez šetřícího režimu", nullptr, "Šetřící režim", 0},
      {"opEnablePS1", "Povolit šetřící režim", nullptr, "Šetřící režim", 0},
      {"tabPSOnH", "Doba zapnutého modemu ................................", nullptr, "Šetřící režim", 0},
      {"tabPSOffH", "Doba vypnutého modemu ................................", nullptr, "Šetřící režim", 0},
      {"tabSuperPS", "Super šetřící režim", nullptr, "Šetřící režim", 0},
      {"tabPSOutOff", "Při vypnutém modemu vypnout výstupy", nullptr, "Šetřící režim", 0},
      // Tab 1 "SMS zprávy"
      {"tabPINAuth", "Autorizace pomocí zadání PINu v příkazové zprávě", nullptr, "", 1},
      {"tabOdpovidatT0", "Hlášení o stavu posílat i na telefonní číslo T1", nullptr, "", 1},
      {"tabPrepnoutNepovolPristup", "Hlášení o nepovoleném přístupu posílat i na tel. číslo T1", nullptr, "", 1},
      {"tabNotAuthorized", "Posílat hlášení, že není povolen přístup", nullptr, "", 1},
      {"rtNotAuthorized", "Text hlášení o nepovolení přístupu:", nullptr, "", 1},
      {"tabDobaPlatnostiSMS", "Doba platnosti SMS zprávy je", "Doba, po kterou je SMS zpráva platná", "", 1},
      {"tabBatt", "při poklesu napětí pod CL1 vypnout zařízení", nullptr, "Baterie", 1},
      {"rtBattLow", "Text hlášení při poklesu napětí\n = text při přechodu CL1 dolu u analog.vstup BAT:", nullptr,
       "Baterie", 1},
      {"tabPowerReport", "posílat hlášení o zapnutí/vypnutí", nullptr, "Zapnutí/Vypnutí síťového napájení", 1},
      {"rtPowerUp", "Text hlášení při zapnutí:", nullptr, "Zapnutí/Vypnutí síťového napájení", 1},
      {"rtPowerDown", "Text hlášení při vypnutí:", nullptr, "Zapnutí/Vypnutí síťového napájení", 1},
      {"tabSwitchReport", "posílat hlášení o zapnutí/vypnutí", nullptr, "Zapnutí/Vypnutí zařízení", 1},
      {"rtSwitchOn", "Text hlášení při zapnutí:", nullptr, "Zapnutí/Vypnutí zařízení", 1},
      {"rtSwitchOff", "Text hlášení při vypnutí:", nullptr, "Zapnutí/Vypnutí zařízení", 1},
      // Tables
      {"tabINPbt0", "Možnosti", "Zobrazit formulář pro změnu hodnot tohoto digitálního vstupu", kNone, 2},
      {"tabOUTbt1", "Možnosti", "Zobrazit formulář pro změnu hodnot tohoto digitálního výstupu", kNone, 3},
      {"tabAINbt3", "Možnosti", "Zobrazit formulář pro změnu hodnot tohoto analogového vstupu", kNone, 4},
      {"tabAINbt4", "Možnosti", "Zobrazit formulář pro změnu hodnot tohoto analogového vstupu", kNone, 5},
      {"tabAINCL1Dn7", kNone,
       "Text SMS zprávy při přechodu přes CL1 dolu - TATO HLÁŠKA JE SHODNÁ S HLÁŠKOU O POKLESU NAPĚTÍ BATERIÍ", kNone,
       5},
      {"tabTCbt0", "Změnit", nullptr, kNone, 6},
      {"tabUTOEnable", "Automaticky vkládat před tel. číslo UTO:", nullptr, kNone, 6},
      // Panels outside the tabs
      {"btInformace", "&Informace", "Informace o programu", "Program", -1},
      {"btKonec", "U&končit", "Ukončit program", "Program", -1},
      {"btDEA", "Aktivovat", nullptr, "Komunikace PC se zařízením", -1},
      {"tabPort", "Sériový port:", "Sériový port PC, ke kterému je připojeno zařízení", "Komunikace PC se zařízením",
       -1},
      {"tabDeAktivNapis", "Spojení", nullptr, "Komunikace PC se zařízením", -1},
      {"btTisk", "", "Tisk nastavení", "Nastavení", -1},
      {"btNahled", "", "Náhled tisku", "Nastavení", -1},
      {"btEEPROMSave", "", "Uložit nastavení do EEPROM", "Nastavení", -1},
      {"btEEPROMLoad", "", "Načíst  nastavení z EEPROM", "Nastavení", -1},
      {"btFileSave", "", "Uložit nastavení do souboru", "Nastavení", -1},
      {"btFileLoad", "", "Načíst nastavení ze souboru", "Nastavení", -1},
      {"tabCheckWrite", "Kontrolovat zápis do EEPROM", nullptr, "Nastavení", -1},
      {"tabFullRead", "Načíst celou paměť EEPROM",
       "Při načítání z EEPROM číst celou paměť zařízení, ne jen bloky s nastavením", "Nastavení", -1},
      {"tabBackup", "Zálohovat před zápisem",
       "Před zápisem do EEPROM uložit dosavadní nastavení zařízení do souboru se zálohou", "Nastavení", -1},
      {"tabFullWrite", "Zapisovat celou konfiguraci",
       "Při zápisu do EEPROM zapsat všechny bloky nastavení, ne jen ty, které se liší od obsahu zařízení", "Nastavení",
       -1},
      {"lblInfoProdukt", "Produkt:", nullptr, "Informace o připojeném zařízení", -1},
      {"lblInfoVerze", "Verze:", nullptr, "Informace o připojeném zařízení", -1},
      {"lblInfoModem", "Typ modemu:", nullptr, "Informace o připojeném zařízení", -1},
      {"lblInfoPamSize", "Velikost paměti:", nullptr, "Informace o připojeném zařízení", -1},
      {"lblInfoVelikost", "Velikost nastavení:", nullptr, "Informace o připojeném zařízení", -1},
      {"lblInfoVolno", "Volné místo:", nullptr, "Informace o připojeném zařízení", -1},
  };
  for (const Expected& c : cases) {
    SCOPED_TRACE(c.control);
    QWidget* w = Find(QString::fromLatin1(c.control));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(CaptionOf(w), c.caption);
    if (c.tooltip != nullptr) {
      EXPECT_EQ(w->toolTip().toStdString(), c.tooltip);
    }
    EXPECT_EQ(PanelOf(w), c.panel);
    EXPECT_EQ(TabOf(window->tabList(), w), c.tab);
    if (auto* b = qobject_cast<QAbstractButton*>(w); b != nullptr && b->text().isEmpty()) {
      EXPECT_FALSE(b->icon().isNull());  // a picture button
    }
  }
}

TEST_F(TextsTest, LabelsWithoutAFieldOfTheirOwn) {
  // The unit captions of the power-save periods.
  const std::pair<const char*, const char*> named[] = {
      {"lblPSOn", "Doba zapnutého modemu ................................"},
      {"lblPSOff", "Doba vypnutého modemu ................................"},
      {"lblPSOnH", "h"},
      {"lblPSOnM", "m"},
      {"lblPSOffH", "h"},
      {"lblPSOffM", "m"},
  };
  for (const auto& [name, text] : named) EXPECT_EQ(Label(name)->text().toStdString(), text) << name;

  // "Doba platnosti SMS zprávy je" [field] "dnů  (1-30)." on one line.
  auto* validity = Find<QGroupBox>(QStringLiteral("frPlatnost"));
  ASSERT_NE(validity, nullptr);
  EXPECT_TRUE(validity->title().isEmpty());
  ASSERT_NE(validity->layout(), nullptr);
  std::vector<std::string> texts;
  for (int i = 0; i < validity->layout()->count(); ++i) {
    QWidget* w = validity->layout()->itemAt(i)->widget();
    if (w == nullptr) continue;
    if (auto* l = qobject_cast<QLabel*>(w)) {
      texts.push_back(l->text().toStdString());
    } else {
      texts.push_back(w->objectName() == QStringLiteral("tabDobaPlatnostiSMS") ? "<field>" : "<other>");
    }
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"Doba platnosti SMS zprávy je", "<field>", "dnů  (1-30)."}));
}

TEST_F(TextsTest, TableRowsAreLabelledAndOnlyTheEditableOnesEnabled) {
  struct Table {
    const char* labelName;
    std::vector<const char*> labels;
    int enabledRows;
    int firstTab;  // rows 4..7 of the analog table are on the next tab
  };
  const Table tables[] = {
      {"tabINPjmeno", {"I1", "I2", "I3", "I4", "I5", "I6", "I7", "I8"}, 4, kTabDigVstupy},
      {"tabOUTjmeno", {"O1", "O2", "O3", "O4", "O5", "O6", "O7", "O8"}, 2, kTabDigVystupy},
      {"tabAINJmeno", {"A1", "A2", "A3", "A4", "A5", "A6", "A7", "BAT"}, 1, kTabAnalog14},
      {"tabTCjmeno", {"T1", "T2", "T3", "T4", "T5", "T6", "T7", "T8"}, 8, kTabTelCisla},
  };
  for (const Table& t : tables) {
    for (int row = 0; row < kRows; ++row) {
      SCOPED_TRACE(std::string(t.labelName) + std::to_string(row));
      QLabel* label = Label(Cell(t.labelName, row));
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(label->text().toStdString(), t.labels[static_cast<std::size_t>(row)]);
      EXPECT_EQ(label->isEnabled(), row < t.enabledRows);
      const bool secondAnalogTab = t.firstTab == kTabAnalog14 && row >= 4;
      EXPECT_EQ(TabOf(window->tabList(), label), t.firstTab + (secondAnalogTab ? 1 : 0));
    }
  }
}

TEST_F(TextsTest, ATextLongerThanItsCellIsShownFromItsBeginning) {
  const QString longText = QStringLiteral("Baterie je vybita, vymente ji co nejdrive prosim");
  // Typed into the battery text, it appears in the narrow CL1-down cell of
  // "BAT"; decoded or copied back from an editor, in any cell.
  Type(Edit("rtBattLow"), longText);
  QLineEdit* bat = Edit(Cell("tabAINCL1Dn", kBatteryRow));
  EXPECT_EQ(bat->text(), longText);
  EXPECT_EQ(bat->cursorPosition(), 0);

  ws.config.inputs[0].INPNazev = longText.toStdString();
  ws.config.outputs[1].OUTimpuls = longText.toStdString();
  window->ConfigReplaced();
  for (const QString& name : {Cell("tabINPNazev", 0), Cell("tabOUTimpuls", 1)}) {
    QLineEdit* cell = Edit(name);
    EXPECT_EQ(cell->text(), longText) << name.toStdString();
    EXPECT_EQ(cell->cursorPosition(), 0) << name.toStdString();
  }
  // The field being typed into keeps its caret where the typing left it.
  EXPECT_EQ(Edit("rtBattLow")->cursorPosition(), longText.size());
}

TEST_F(TextsTest, AfterAnEditorClosesItsRowShowsTheBeginningOfItsTexts) {
  const QString longText = QStringLiteral("Hladina nad 20 procent v nadrzi cerpaci stanice");
  ws.config.inputs[0].INPNazev = longText.toStdString();
  ws.config.analogs[1].AINCL1Up = longText.toStdString();
  window->ConfigReplaced();
  RowEditors& editors = window->rowEditors();
  const struct {
    EditorDialog* dialog;
    std::function<void()> open;
    QString cell;
  } cases[] = {{&editors.inputEditor(), [&] { window->openInputRow(0); }, Cell("tabINPNazev", 0)},
               {&editors.analogEditor(), [&] { window->openAnalogRow(1); }, Cell("tabAINCL1Up", 1)}};
  for (const auto& c : cases) {
    for (const bool ok : {true, false}) {
      WhileOpen(*c.dialog, c.open, [&] { (ok ? c.dialog->okButton() : c.dialog->stornoButton())->click(); });
      QLineEdit* cell = Edit(c.cell);
      EXPECT_EQ(cell->text(), longText) << c.cell.toStdString();
      EXPECT_EQ(cell->cursorPosition(), 0) << c.cell.toStdString() << (ok ? " after Ok" : " after Storno");
    }
  }
}

// The row editors, made once and looked at without being shown.
struct EditorTextsTest : EditorFixture {
  QDialog& Dialog(const char* name) {
    if (std::string_view(name) == "TelCislo") return editors.phoneEditor();
    if (std::string_view(name) == "Vstup") return editors.inputEditor();
    if (std::string_view(name) == "Vystup") return editors.outputEditor();
    return editors.analogEditor();
  }
};

TEST_F(EditorTextsTest, EditorControlsCarryTheirCaptionsTooltipsAndPanels) {
  struct EditorExpected {
    const char* dialog;
    const char* control;
    const char* caption;
    const char* tooltip;  // nullptr: not checked
    const char* panel;    // nullptr: not checked
  };
  const EditorExpected cases[] = {
      {"TelCislo", "TC", "Telefonní číslo:", "Telefonní číslo", kNone},
      {"TelCislo", "TCPrijem", "Přijímat příkazy", "Přijímat příkazy z tohoto tel. čísla", kNone},
      {"TelCislo", "TCUdalost", "Odesílat zprávy o událostech", "Odesílat zprávy o událostech na toto tel. číslo",
       kNone},

      {"Vstup", "INPNazev", "Název:", nullptr, kNone},
      {"Vstup", "INPZap", "Název stavu zapnuto (1):", nullptr, "Stavy"},
      {"Vstup", "INPVyp", "Název stavu vypnuto (0):", nullptr, "Stavy"},
      {"Vstup", "INPLHEvent", "Poslat zprávu při změně stavu 0->1", nullptr, kNone},
      {"Vstup", "eeMaskDInLHAlarm", "odeslat ihned", nullptr, kNone},
      {"Vstup", "INPHLEvent", "Poslat zprávu při změně stavu 1->0", nullptr, kNone},
      {"Vstup", "eeMaskDInHLAlarm", "odeslat ihned", nullptr, kNone},
      {"Vstup", "INPNeg", "Negace vstupu (neguje se ihned po vzorkování - teprve poté se analyzuje)", nullptr, kNone},
      {"Vstup", "INPZpr", "Uvádět tento vstup ve zprávě o stavu", nullptr, kNone},
      {"Vstup", "btOk", "&Ok", nullptr, kNone},
      {"Vstup", "btStorno", "&Storno", nullptr, kNone},

      {"Vystup", "OUTNazev", "Název:", nullptr, kNone},
      {"Vystup", "OUTZap", "Název stavu zapnuto (1):", nullptr, "Stavy"},
      {"Vystup", "OUTVyp", "Název stavu vypnuto (0):", nullptr, "Stavy"},
      {"Vystup", "OUTNeg", "Negace výstupu", nullptr, "Stavy"},
      {"Vystup", "OUTimpuls", "Příkaz pro vyslání impulsu:", nullptr, "Impuls"},
      {"Vystup", "OUTimpulsLEN", "Délka jednoho impulsu ....................", nullptr, "Impuls"},
      {"Vystup", "lblSekund", kNone, nullptr, "Impuls"},
      {"Vystup", "OUTZpr", "Uvádět tento vstup ve zprávě o stavu", nullptr, kNone},
      {"Vystup", "eeMaskDOutFnc1", "Standartní výstup", nullptr, nullptr},
      {"Vystup", "eeMaskDOutFnc2", "Indikace stavu modemu", nullptr, nullptr},
      {"Vystup", "eeMaskDOutFnc3", "Indikace stavu šetřícího režimu", nullptr, nullptr},

      {"Analog", "AINNazev", "Název:", "Název analogového vstupu", nullptr},
      {"Analog", "AINPrc", "Uvádět ve zprávě o stavu hodnotu", nullptr, nullptr},
      {"Analog", "AINZpr", "Uvádět ve zprávě o stavu jméno stavu", nullptr, nullptr},
      {"Analog", "AINStateL", "LOW (nízká) .................", "Název stavu LOW (nízká)", "Názvy stavů"},
      {"Analog", "AINStateM", "MEDIUM (střední) ........", "Název stavu MEDIUM (normální)", "Názvy stavů"},
      {"Analog", "AINStateH", "HIGH (vysoká) ..............", "Název stavu HIGH (vysoká)", "Názvy stavů"},
      {"Analog", "AINCL1Level", "úroveň", "Hodnota úrovně CL1", "Úrovně"},
      {"Analog", "AINHCL1Level", "hyster.", "Hodnota  hystereze CL1", "Úrovně"},
      {"Analog", "AINCL2Level", "úroveň", "Hodnota úrovně CL2", "Úrovně"},
      {"Analog", "AINHCL2Level", "hyster.", "Hodnota  hystereze CL2", "Úrovně"},
      {"Analog", "AINCL1UpEvent", "Hlásit přechod nahoru přes CL1", nullptr, "Úrovně"},
      {"Analog", "AINCL1DnEvent", "Hlásit přechod dolu přes CL1", nullptr, "Úrovně"},
      {"Analog", "AINCL2UpEvent", "Hlásit přechod nahoru přes CL2", nullptr, "Úrovně"},
      {"Analog", "AINCL2DnEvent", "Hlásit přechod dolu přes CL2", nullptr, "Úrovně"},
      {"Analog", "eeCL1Up", "odeslat ihned", nullptr, "Úrovně"},
      {"Analog", "eeCL1Down", "odeslat ihned", nullptr, "Úrovně"},
      {"Analog", "eeCL2Up", "odeslat ihned", nullptr, "Úrovně"},
      {"Analog", "eeCL2Down", "odeslat ihned", nullptr, "Úrovně"},
      {"Analog", "AINNeg", "Negace vstupu (neguje se ihned po vzorkování)", nullptr, "Úrovně"},
      {"Analog", "btOk", "&Ok", nullptr, kNone},
      {"Analog", "btStorno", "&Storno", nullptr, kNone},
  };
  for (const EditorExpected& c : cases) {
    SCOPED_TRACE(std::string(c.dialog) + " " + c.control);
    QWidget* w = Child<QWidget>(Dialog(c.dialog), c.control);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(CaptionOf(w), c.caption);
    if (c.tooltip != nullptr) {
      EXPECT_EQ(w->toolTip().toStdString(), c.tooltip);
    }
    if (c.panel != nullptr) {
      EXPECT_EQ(PanelOf(w), c.panel);
    }
  }
  EXPECT_EQ(Child<QLabel>(Dialog("Vystup"), "lblSekund")->text().toStdString(), "sekund");
}

TEST_F(EditorTextsTest, ATextLongerThanItsFieldIsShownFromItsBeginning) {
  const std::string longText = "Vstupni dvere do strojovny cerpaci stanice jsou otevrene";
  ws.config.inputs[1].INPZap = longText;
  ws.config.inputs[1].INPHL = longText;
  InputEditor& d = editors.inputEditor();
  WhileOpen(
      d, [&] { editors.OpenInputEditor(1); },
      [&] {
        for (const char* name : {"INPZap", "INPHL"}) {
          auto* edit = Child<QLineEdit>(d, name);
          ASSERT_NE(edit, nullptr);
          EXPECT_EQ(edit->text().toStdString(), longText) << name;
          EXPECT_FALSE(edit->hasFocus()) << name;
          EXPECT_EQ(edit->cursorPosition(), 0) << name;
        }
        d.stornoButton()->click();
      });
}

TEST_F(EditorTextsTest, TheLevelsGroupOfTheAnalogEditor) {
  QDialog& d = editors.analogEditor();
  auto* limits = Child<QGroupBox>(d, "Meze");
  ASSERT_NE(limits, nullptr);
  EXPECT_EQ(limits->title().toStdString(), "Úrovně");
  const std::pair<const char*, const char*> halves[] = {{"lblCL1", "CL1"}, {"lblCL2", "CL2"}};
  for (const auto& [name, text] : halves) {
    QLabel* l = Child<QLabel>(d, name);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->text().toStdString(), text);
    EXPECT_TRUE(l->font().bold()) << name;
  }
  QStringList texts;
  for (QLabel* l : limits->findChildren<QLabel*>()) texts << l->text();
  EXPECT_TRUE(texts.contains(QStringLiteral("(hranice stavů LOW a MEDIUM)")));
  EXPECT_TRUE(texts.contains(QStringLiteral("(hranice stavů MEDIUM a HIGH)")));
}

TEST_F(EditorTextsTest, UnitLabelsShowTheUnitOfTheRow) {
  const std::pair<int, const char*> rows[] = {{0, "%"}, {4, "%"}, {5, "°C"}, {6, "°C"}, {kBatteryRow, "V"}, {0, "%"}};
  AnalogEditor& d = editors.analogEditor();
  for (const auto& [row, unit] : rows) {
    WhileOpen(
        d, [&, row = row] { editors.EditAnalogInput(row); },
        [&, row = row, unit = unit] {
          const QList<QLabel*> units = d.findChildren<QLabel*>(QStringLiteral("valSTR"));
          ASSERT_EQ(units.size(), 4);
          for (QLabel* l : units) {
            EXPECT_EQ(l->text().toStdString(), unit) << "row " << row;
            EXPECT_TRUE(l->isVisible());
          }
          d.stornoButton()->click();
        });
  }
}

}  // namespace
}  // namespace vexa::ui::testing
