// Every text the technician reads: each field of the field table shown by
// its control, with the caption, label, unit, tooltip, column head, typing
// limit, tab and place the table gives it, in the main window and in its row
// editor; the words of the other controls letter for letter, where double
// spaces and dotted leaders are part of the texts; the row labels.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "texts/texts_window.h"
#include "ui/analog_editor.h"
#include "ui/captions.h"
#include "ui/editor_support.h"
#include "ui/field_controller.h"
#include "ui/input_editor.h"
#include "ui/main_window_support.h"
#include "ui/output_editor.h"
#include "ui/phone_editor.h"
#include "support/find_child.h"

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

// The text of the label that follows a control in its layout (the unit after
// a number), or kNone.
std::string FollowingLabel(QLayout* layout, const QWidget* w) {
  if (layout == nullptr) return kNone;
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item->widget() == w) {
      QLabel* next = i + 1 < layout->count() ? qobject_cast<QLabel*>(layout->itemAt(i + 1)->widget()) : nullptr;
      return next != nullptr ? next->text().toStdString() : kNone;
    }
    if (item->layout() != nullptr) {
      const std::string inner = FollowingLabel(item->layout(), w);
      if (inner != kNone) return inner;
    }
  }
  return kNone;
}
std::string FollowingLabel(const QWidget* w) { return FollowingLabel(w->parentWidget()->layout(), w); }

// What a field's control must show: a check box or option its caption, a
// text its label (none where the table gives ""), each with the field's unit
// after it, tooltip and typing limit.
void ExpectWorded(QWidget* w, const FieldInfo& info, const QString& tooltip) {
  if (info.kind == FieldKind::Flag) {
    EXPECT_EQ(CaptionOf(w), info.caption);
  } else {
    const QString label = ui::LabelOf(info.field);
    EXPECT_EQ(CaptionOf(w), label.isEmpty() ? std::string(kNone) : label.toStdString());
    if (info.after != nullptr) {
      EXPECT_EQ(FollowingLabel(w), info.after);
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
      EXPECT_EQ(edit->maxLength(), info.maxLength > 0 ? info.maxLength : 32767);
    }
  }
  EXPECT_EQ(w->toolTip(), tooltip);
}

struct Expected {
  const char* control;
  const char* caption;  // the label naming it, or the button's text
  const char* tooltip;  // nullptr: not checked
  const char* panel;    // kNone: in no panel
  int tab;              // -1: outside the tabs
};

using TextsTest = MainWindowTest;

TEST_F(TextsTest, EveryFieldIsShownAsTheFieldTableHasIt) {
  QTabWidget* tabs = Child<QTabWidget>(*window, "TabList");
  FieldController& fields = Fields();
  for (const FieldInfo& info : kFields) {
    const bool rows = FamilyHasRows(info.family);
    if (rows && !HasColumn(info)) continue;  // shown by its row editor alone (below)
    for (int row = 0; row < RowCount(info.family); ++row) {
      const FieldRef ref{info.field, row};
      SCOPED_TRACE(FieldDisplayName(ref));
      QWidget* w = fields.control(ref);
      ASSERT_NE(w, nullptr) << "no control";
      const std::optional<WindowTab> tab = WindowTabOf(ref);
      EXPECT_EQ(TabOf(tabs, w), tab ? IndexOf(*tab) : -1);
      if (!rows) {
        EXPECT_EQ(w->objectName(),
                  info.field == Field::EnablePS ? QStringLiteral("opEnablePS1") : WindowControlName(info.field));
        ExpectWorded(w, info, TipOf(info.field));
        if (info.group != nullptr) {
          EXPECT_EQ(PanelOf(w), info.group);
        }
        continue;
      }
      // A cell: named by its row, read by its column's head and its row label.
      EXPECT_EQ(w->objectName(), WindowControlName(info.field) + QString::number(row));
      QString head = Words(HeadOf(info));
      head.replace(QLatin1Char('\n'), QLatin1Char(' '));
      EXPECT_EQ(w->accessibleName(), head + QLatin1Char(' ') + QString::fromStdString(RowLabel(info.family, row)));
      const bool battery = info.field == Field::AINCL1Dn && row == kBatteryRow;
      EXPECT_EQ(w->toolTip(), battery ? Words(texts::kBatteryFallTip) : TipOf(info.field));
      if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        EXPECT_EQ(edit->maxLength(), info.maxLength);
      }
      if (row == 0) {
        // The head over the column; a head of the second line is one line.
        auto* header = window->findChild<QLabel*>(QStringLiteral("hdr") + QString::fromLatin1(info.name));
        ASSERT_NE(header, nullptr);
        EXPECT_TRUE(header->text() == Words(HeadOf(info)) || header->text() == head) << header->text().toStdString();
      }
    }
  }
}

TEST_F(TextsTest, EachTabShowsItsFieldsInTheFieldTablesOrder) {
  QTabWidget* tabs = Child<QTabWidget>(*window, "TabList");
  for (int t = 0; t < tabs->count(); ++t) {
    SCOPED_TRACE(t);
    // Both analog tabs show the columns of the analog rows.
    const int listed = t == IndexOf(WindowTab::Analog58) ? IndexOf(WindowTab::Analog14) : t;
    std::vector<std::string> expected;
    for (const Field f : kTabFields[static_cast<std::size_t>(listed)]) {
      if (!FamilyHasRows(InfoOf(f).family) || HasColumn(InfoOf(f))) expected.push_back(InfoOf(f).name);
    }
    // The fields in the order the focus moves through the tab (each once).
    std::vector<std::string> shown;
    QWidget* page = tabs->widget(t);
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
      const FieldRef* ref = page->isAncestorOf(w) ? Fields().fieldOf(w) : nullptr;
      if (ref == nullptr) continue;
      const std::string name = InfoOf(ref->field).name;
      if (std::find(shown.begin(), shown.end(), name) == shown.end()) shown.push_back(name);
    }
    EXPECT_EQ(shown, expected);
  }
}

TEST_F(TextsTest, FieldsSitInTheirPanels) {
  // Fields read under a group sit in the panel of that title (checked above).
  const std::pair<const char*, std::vector<Field>> panels[] = {
      {"Zařízení", {Field::JmenoStanice, Field::PIN, Field::TCcentra}},
      {"Šetřící režim",
       {Field::EnablePS, Field::PSOnH, Field::PSOnM, Field::PSOffH, Field::PSOffM, Field::SuperPS, Field::PSOutOff}},
      {"",
       {Field::PINAuth, Field::OdpovidatT0, Field::PrepnoutNepovolPristup, Field::NotAuthorized, Field::rtNotAuthorized,
        Field::DobaPlatnostiSMS}},
      {"Baterie", {Field::Batt, Field::rtBattLow}},
      {"Komunikace PC se zařízením", {Field::Port}},
      {"Nastavení", {Field::CheckWrite, Field::FullRead, Field::Backup, Field::FullWrite}},
      {kNone, {Field::UTOEnable, Field::UTO}},
  };
  for (const auto& [panel, members] : panels) {
    for (const Field f : members) EXPECT_EQ(PanelOf(Fields().control({f, 0})), panel) << InfoOf(f).name;
  }
}

TEST_F(TextsTest, ControlsOfNoFieldCarryTheirCaptionsTooltipsPanelsAndTabs) {
  const Expected cases[] = {
      {"opEnablePS0", "Bez šetřícího režimu", nullptr, "Šetřící režim", 0},
      {"tabINPbt0", "Možnosti", "Zobrazit formulář pro změnu hodnot tohoto digitálního vstupu", kNone, 2},
      {"tabOUTbt1", "Možnosti", "Zobrazit formulář pro změnu hodnot tohoto digitálního výstupu", kNone, 3},
      {"tabAINbt3", "Možnosti", "Zobrazit formulář pro změnu hodnot tohoto analogového vstupu", kNone, 4},
      {"tabAINbt4", "Možnosti", "Zobrazit formulář pro změnu hodnot tohoto analogového vstupu", kNone, 5},
      {"tabTCbt0", "Změnit", "Zobrazit formulář pro změnu tohoto telefonního čísla", kNone, 6},
      {"btInformace", "&Informace", "Informace o programu", "Program", -1},
      {"btKonec", "U&končit", "Ukončit program", "Program", -1},
      {"btDEA", "Aktivovat", nullptr, "Komunikace PC se zařízením", -1},
      {"tabDeAktivNapis", "Spojení", nullptr, "Komunikace PC se zařízením", -1},
      {"btTisk", "", "Tisk nastavení", "Nastavení", -1},
      {"btNahled", "", "Náhled tisku", "Nastavení", -1},
      {"btEEPROMSave", "", "Uložit nastavení do EEPROM", "Nastavení", -1},
      {"btEEPROMLoad", "", "Načíst  nastavení z EEPROM", "Nastavení", -1},
      {"btFileSave", "", "Uložit nastavení do souboru", "Nastavení", -1},
      {"btFileLoad", "", "Načíst nastavení ze souboru", "Nastavení", -1},
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
    EXPECT_EQ(TabOf(Child<QTabWidget>(*window, "TabList"), w), c.tab);
    if (auto* b = qobject_cast<QAbstractButton*>(w); b != nullptr && b->text().isEmpty()) {
      EXPECT_FALSE(b->icon().isNull());  // a picture button
    }
  }
  // The power-save periods' captions and units are named after their fields.
  const struct {
    const char* name;
    Field field;
    bool unit;
  } named[] = {
      {"lblPSOn", Field::PSOnH, false}, {"lblPSOff", Field::PSOffH, false}, {"lblPSOnH", Field::PSOnH, true},
      {"lblPSOnM", Field::PSOnM, true}, {"lblPSOffH", Field::PSOffH, true}, {"lblPSOffM", Field::PSOffM, true},
  };
  for (const auto& n : named)
    EXPECT_EQ(Label(n.name)->text(), n.unit ? AfterOf(n.field) : ui::LabelOf(n.field)) << n.name;
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
      EXPECT_EQ(TabOf(Child<QTabWidget>(*window, "TabList"), label), t.firstTab + (secondAnalogTab ? 1 : 0));
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
  ws.config.analogs[0].AINCL1Up = longText.toStdString();  // A1, the analog row this edition edits
  window->ConfigReplaced();
  const struct {
    const char* dialog;  // the editor's name, made on its first opening
    std::function<void()> open;
    QString cell;
  } cases[] = {{"Vstup", [&] { Find<QAbstractButton>(Cell("tabINPbt", 0))->click(); }, Cell("tabINPNazev", 0)},
               {"Analog", [&] { Find<QAbstractButton>(Cell("tabAINbt", 0))->click(); }, Cell("tabAINCL1Up", 0)}};
  for (const auto& c : cases) {
    for (const bool ok : {true, false}) {
      bool opened = false;
      QTimer::singleShot(0, window.get(), [&] {
        auto* dialog = window->findChild<EditorDialog*>(QString::fromLatin1(c.dialog));
        if (dialog == nullptr) {
          ADD_FAILURE() << "no editor " << c.dialog;
          if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
          return;
        }
        if (!QTest::qWaitForWindowActive(dialog)) ADD_FAILURE() << "the editor never became active";
        opened = true;
        (ok ? dialog->okButton() : dialog->stornoButton())->click();
      });
      c.open();
      EXPECT_TRUE(opened) << c.dialog;
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

TEST_F(EditorTextsTest, EveryRowFieldIsInItsEditorAsTheFieldTableHasIt) {
  for (const FieldInfo& info : kFields) {
    if (!FamilyHasRows(info.family)) continue;
    const char* dialog = info.family == Family::Phone    ? "TelCislo"
                         : info.family == Family::Input  ? "Vstup"
                         : info.family == Family::Output ? "Vystup"
                                                         : "Analog";
    SCOPED_TRACE(std::string(dialog) + " " + info.name);
    // The send-at-once flags of an input keep their "ee" names.
    const bool eeName = info.field == Field::MaskDInLHAlarm || info.field == Field::MaskDInHLAlarm;
    QWidget* w =
        Child<QWidget>(Dialog(dialog), (eeName ? std::string("ee") + info.name : std::string(info.name)).c_str());
    ASSERT_NE(w, nullptr) << "no control";
    ExpectWorded(w, info, Words(EditorTipOf(info)));
    if (info.kind == FieldKind::Text) {
      EXPECT_EQ(w->accessibleName(), Words(info.caption));
    }
  }
}

TEST_F(EditorTextsTest, ControlsSitInTheirPanelsAndTheOthersCarryTheirCaptions) {
  struct EditorExpected {
    const char* dialog;
    const char* control;
    const char* caption;  // nullptr: a field's (checked above)
    const char* panel;    // nullptr: not checked
  };
  const EditorExpected cases[] = {
      {"TelCislo", "TC", nullptr, kNone},
      {"Vstup", "INPNazev", nullptr, kNone},
      {"Vstup", "INPZap", nullptr, "Stavy"},
      {"Vstup", "INPVyp", nullptr, "Stavy"},
      {"Vstup", "eeMaskDInLHAlarm", nullptr, kNone},
      {"Vstup", "btOk", "&Ok", kNone},
      {"Vstup", "btStorno", "&Storno", kNone},
      {"Vystup", "OUTZap", nullptr, "Stavy"},
      {"Vystup", "OUTNeg", nullptr, "Stavy"},
      {"Vystup", "OUTimpuls", nullptr, "Impuls"},
      {"Vystup", "OUTimpulsLEN", nullptr, "Impuls"},
      {"Vystup", "lblSekund", kNone, "Impuls"},
      {"Vystup", "OUTZpr", nullptr, kNone},
      {"Vystup", "eeMaskDOutFnc1", "Standartní výstup", nullptr},
      {"Vystup", "eeMaskDOutFnc2", "Indikace stavu modemu", nullptr},
      {"Vystup", "eeMaskDOutFnc3", "Indikace stavu šetřícího režimu", nullptr},
      {"Analog", "AINStateL", nullptr, "Názvy stavů"},
      {"Analog", "AINStateH", nullptr, "Názvy stavů"},
      {"Analog", "AINHCL2Level", nullptr, "Úrovně"},
      {"Analog", "AINCL2DnEvent", nullptr, "Úrovně"},
      {"Analog", "eeCL1Up", "odeslat ihned", "Úrovně"},
      {"Analog", "eeCL1Down", "odeslat ihned", "Úrovně"},
      {"Analog", "eeCL2Up", "odeslat ihned", "Úrovně"},
      {"Analog", "eeCL2Down", "odeslat ihned", "Úrovně"},
      {"Analog", "AINNeg", nullptr, "Úrovně"},
      {"Analog", "btOk", "&Ok", kNone},
      {"Analog", "btStorno", "&Storno", kNone},
  };
  for (const EditorExpected& c : cases) {
    SCOPED_TRACE(std::string(c.dialog) + " " + c.control);
    QWidget* w = Child<QWidget>(Dialog(c.dialog), c.control);
    ASSERT_NE(w, nullptr);
    if (c.caption != nullptr) {
      EXPECT_EQ(CaptionOf(w), c.caption);
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
