// What the four row editors share: named controls with their typing limits
// and accessible names, the ways to cancel, and the dialogs' lifetime.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <string_view>

#include "ui/analog_editor.h"
#include "ui/editor_support.h"
#include "ui/input_editor.h"
#include "ui/output_editor.h"
#include "ui/phone_editor.h"

namespace vexa::ui {
namespace {

using testing::Child;
using testing::WhileOpen;

struct Editor {
  const char* name;
  Family family;
  std::function<QDialog&(RowEditors&)> dialog;
  std::function<void(RowEditors&, int)> open;
  const char* caption;  // followed by the row label
  // Controls that must be there besides the fields of the family.
  std::vector<const char*> controls;
};

const std::vector<Editor>& Editors() {
  static const std::vector<Editor> editors = {
      {"TelCislo",
       Family::Phone,
       [](RowEditors& e) -> QDialog& { return e.phoneEditor(); },
       [](RowEditors& e, int r) { e.OpenPhoneEditor(r); },
       "Telefonní číslo ",
       {"btOk", "btStorno"}},
      {"Vstup",
       Family::Input,
       [](RowEditors& e) -> QDialog& { return e.inputEditor(); },
       [](RowEditors& e, int r) { e.OpenInputEditor(r); },
       "Vstup ",
       {"btOk", "btStorno", "fraStavy"}},
      {"Vystup",
       Family::Output,
       [](RowEditors& e) -> QDialog& { return e.outputEditor(); },
       [](RowEditors& e, int r) { e.OpenOutputEditor(r); },
       "Výstup ",
       {"btOk", "btStorno", "fraStavy", "fraImpuls", "eeMaskDOutFnc1", "eeMaskDOutFnc2", "eeMaskDOutFnc3"}},
      {"Analog",
       Family::Analog,
       [](RowEditors& e) -> QDialog& { return e.analogEditor(); },
       [](RowEditors& e, int r) { e.EditAnalogInput(r); },
       "Analogový vstup ",
       {"btOk", "btStorno", "Meze", "Graph", "lblCL1", "lblCL2", "valSTR", "eeCL1Up", "eeCL1Down", "eeCL2Up",
        "eeCL2Down"}},
  };
  return editors;
}

// The control of a configuration field is named after it; the two
// send-at-once flags of an input carry the "ee" prefix.
QString ControlName(Field f) {
  const QString name = QString::fromLatin1(InfoOf(f).name);
  return name.startsWith(QLatin1String("MaskDIn")) ? QStringLiteral("ee") + name : name;
}

using EditorCommon = testing::EditorFixture;

TEST_F(EditorCommon, EveryFieldHasItsNamedControlLimitAndAccessibleName) {
  for (const Editor& e : Editors()) {
    QDialog& d = e.dialog(editors);
    EXPECT_EQ(d.objectName().toStdString(), e.name);
    EXPECT_TRUE(d.isModal()) << e.name;
    for (int i = 0; i < kFieldCount; ++i) {
      const FieldInfo& info = InfoOf(static_cast<Field>(i));
      if (info.family != e.family) continue;
      QWidget* w = d.findChild<QWidget*>(ControlName(info.field));
      ASSERT_NE(w, nullptr) << e.name << " " << info.name;
      if (info.kind == FieldKind::Text) {
        auto* edit = qobject_cast<QLineEdit*>(w);
        ASSERT_NE(edit, nullptr) << info.name;
        EXPECT_EQ(edit->maxLength(), info.maxLength) << info.name;
        EXPECT_FALSE(edit->accessibleName().isEmpty()) << info.name;
      } else {
        EXPECT_NE(qobject_cast<QCheckBox*>(w), nullptr) << info.name;
      }
    }
    for (const char* name : e.controls) EXPECT_NE(Child<QWidget>(d, name), nullptr) << e.name << " " << name;
    EXPECT_EQ(Child<QAbstractButton>(d, "btOk")->text(), "&Ok");
    EXPECT_EQ(Child<QAbstractButton>(d, "btStorno")->text(), "&Storno");
  }
}

// What a row holds before and what the test types over it, for every field
// the editors show ("1"/"0" for flags). The new values pass every rule that
// "&Ok" may run, the level test included.
struct Value {
  Field field;
  const char* before;
  const char* after;
};
constexpr Value kValues[] = {
    {Field::TC, "+420601111222", "+420602333444"},
    {Field::TCPrijem, "1", "0"},
    {Field::TCUdalost, "0", "1"},
    {Field::INPNazev, "Dvere", "Vrata"},
    {Field::INPZap, "Otevreno", "zap"},
    {Field::INPVyp, "Zavreno", "vyp"},
    {Field::INPLH, "Otevreni", "lh"},
    {Field::INPHL, "Zavreni", "hl"},
    {Field::INPLHEvent, "1", "0"},
    {Field::INPHLEvent, "0", "1"},
    {Field::INPNeg, "1", "0"},
    {Field::INPZpr, "0", "1"},
    {Field::MaskDInLHAlarm, "1", "0"},
    {Field::MaskDInHLAlarm, "0", "1"},
    {Field::OUTNazev, "Ventil", "Cerpadlo"},
    {Field::OUTZap, "ZAP", "ON"},
    {Field::OUTVyp, "VYP", "OFF"},
    {Field::OUTimpuls, "PULS", "P1"},
    {Field::OUTimpulsLEN, "2,5", "4"},
    {Field::OUTNeg, "1", "0"},
    {Field::OUTZpr, "0", "1"},
    {Field::AINNazev, "Hladina", "Tlak"},
    {Field::AINStateL, "nizka", "L"},
    {Field::AINStateM, "normalni", "M"},
    {Field::AINStateH, "vysoka", "H"},
    {Field::AINCL1Level, "20", "30"},
    {Field::AINHCL1Level, "2", "5,1"},
    {Field::AINCL2Level, "80", "70"},
    {Field::AINHCL2Level, "5,1", "2"},
    {Field::AINCL1Up, "stoupa", "u1"},
    {Field::AINCL1Dn, "klesa", "d1"},
    {Field::AINCL2Up, "preteka", "u2"},
    {Field::AINCL2Dn, "opada", "d2"},
    {Field::AINCL1UpEvent, "1", "0"},
    {Field::AINCL1DnEvent, "0", "1"},
    {Field::AINCL2UpEvent, "1", "0"},
    {Field::AINCL2DnEvent, "0", "1"},
    {Field::AINNeg, "1", "0"},
    {Field::AINZpr, "0", "1"},
    {Field::AINPrc, "1", "0"},
};

void Put(DeviceConfig& c, ProgramSettings& s, FieldRef f, const char* v) {
  if (std::string* t = TextOf(c, s, f)) *t = v;
  if (bool* b = FlagOf(c, s, f)) *b = std::string_view(v) == "1";
}

TEST_F(EditorCommon, CopiesTheRowInAndBackOnlyOnOk) {
  for (const Editor& e : Editors()) {
    for (int row : {0, 3}) {
      for (const Value& v : kValues) {
        if (InfoOf(v.field).family == e.family) Put(ws.config, ws.settings, {v.field, row}, v.before);
      }
      const DeviceConfig before = ws.config;
      QDialog& d = e.dialog(editors);
      WhileOpen(
          d, [&] { e.open(editors, row); },
          [&] {
            EXPECT_EQ(d.windowTitle().toStdString(), e.caption + RowLabel(e.family, row));
            for (const Value& v : kValues) {
              if (InfoOf(v.field).family != e.family) continue;
              QWidget* w = d.findChild<QWidget*>(ControlName(v.field));
              ASSERT_NE(w, nullptr) << InfoOf(v.field).name;
              if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                EXPECT_EQ(edit->text().toStdString(), v.before) << InfoOf(v.field).name;
                edit->setText(v.after);
              } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
                EXPECT_EQ(box->isChecked(), std::string_view(v.before) == "1") << InfoOf(v.field).name;
                box->setChecked(std::string_view(v.after) == "1");
              }
            }
            EXPECT_EQ(ws.config, before) << "nothing reaches the row while the editor is open";
            Child<QAbstractButton>(d, "btOk")->click();
          });
      EXPECT_FALSE(ws.CancelRequested);
      DeviceConfig expected = before;
      for (const Value& v : kValues) {
        if (InfoOf(v.field).family == e.family) Put(expected, ws.settings, {v.field, row}, v.after);
      }
      EXPECT_EQ(ws.config, expected) << e.name << " row " << row;
      ws.config = before;
    }
  }
  EXPECT_TRUE(fx.messages.shown.empty());
}

TEST_F(EditorCommon, StornoEscapeAndTheCloseBoxLeaveTheRowUntouched) {
  const std::function<void(QDialog&)> ways[] = {
      [](QDialog& d) { Child<QAbstractButton>(d, "btStorno")->click(); },
      [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
      [](QDialog& d) { d.close(); },
  };
  ws.config.phones[0] = {"+420601111222", true, true};
  ws.config.inputs[0] = {"Dvere", "A", "B", "C", "D", true, true, false, true, true, false};
  ws.config.outputs[0] = {"Ventil", "ZAP", "VYP", "PULS", "2", true, false};
  ws.config.analogs[0].AINNazev = "Hladina";
  ws.config.analogs[0].sendAtOnceByte = 0x35;
  const DeviceConfig before = ws.config;
  for (const Editor& e : Editors()) {
    QDialog& d = e.dialog(editors);
    for (std::size_t way = 0; way < std::size(ways); ++way) {
      WhileOpen(
          d, [&] { e.open(editors, 0); },
          [&] {
            // Every text and every box changed, the rules not yet run.
            for (QLineEdit* edit : d.findChildren<QLineEdit*>()) edit->setText("7");
            for (QCheckBox* box : d.findChildren<QCheckBox*>()) box->setChecked(!box->isChecked());
            ways[way](d);
          });
      EXPECT_TRUE(ws.CancelRequested) << e.name << " way " << way;
      EXPECT_EQ(ws.config, before) << e.name << " way " << way;
      EXPECT_FALSE(d.isVisible());
    }
    // Made once, hidden between the uses.
    EXPECT_EQ(&e.dialog(editors), &d);
  }
  EXPECT_TRUE(fx.messages.shown.empty());
}

// A row outside the tables is a fault of the program: each opener stops it,
// naming the row, before any dialog is made.
using EditorCommonDeathTest = EditorCommon;
TEST_F(EditorCommonDeathTest, RowsOutsideTheTablesStopTheProgram) {
  for (const Editor& e : Editors()) {
    for (int row : {-1, kRows}) {
      EXPECT_DEATH(e.open(editors, row), "row " + std::to_string(row) + " of a table of 8 rows") << e.name;
    }
  }
}

TEST_F(EditorCommon, TheEditorsStandOverTheMainWindowWhichMayGoFirst) {
  auto owner = std::make_unique<QWidget>();
  RowEditors withOwner(ws, fx.services, owner.get());
  for (const Editor& e : Editors()) EXPECT_EQ(e.dialog(withOwner).parentWidget(), owner.get()) << e.name;
  // Deleting the window deletes the dialogs with it; the openers must let
  // go of them rather than delete them again when they go themselves.
  owner.reset();
}

}  // namespace
}  // namespace vexa::ui
