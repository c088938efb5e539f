// The output editor "Vystup".
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "rules/charsets.h"
#include "ui/editor_support.h"
#include "ui/output_editor.h"

namespace vexa::ui {
namespace {

using testing::Child;
using testing::MoveFocus;
using testing::Text;
using testing::WhileOpen;

struct OutputEditorTest : testing::EditorFixture {
  OutputEditor& dlg() { return editors.outputEditor(); }
  bool Open(int row, const std::function<void()>& script) {
    return WhileOpen(
        dlg(), [&] { editors.OpenOutputEditor(row); }, script);
  }
  QLineEdit* edit(const char* name) { return Child<QLineEdit>(dlg(), name); }
};

TEST_F(OutputEditorTest, PulseLengthIsShownForOutputOneOnly) {
  ws.config.outputs[1].OUTimpulsLEN = "7,5";
  const std::tuple<int, bool> cases[] = {{0, true}, {1, false}, {0, true}};
  for (const auto& [row, shown] : cases) {
    Open(row, [&, row = row, shown = shown] {
      for (const char* name : {"lblOUTimpulsLEN", "OUTimpulsLEN", "lblSekund"}) {
        EXPECT_EQ(Child<QWidget>(dlg(), name)->isVisible(), shown) << name << " row " << row;
      }
      for (const char* name : {"eeMaskDOutFnc1", "eeMaskDOutFnc2", "eeMaskDOutFnc3"}) {
        EXPECT_FALSE(Child<QWidget>(dlg(), name)->isVisible()) << name;
      }
      dlg().okButton()->click();
    });
  }
  // The hidden pulse length of O2 went in and out unchanged.
  EXPECT_EQ(ws.config.outputs[1].OUTimpulsLEN, "7,5");
}

TEST_F(OutputEditorTest, OkMakesOutputOneOrTwoAStandardOutputAgain) {
  // Bit 0: output 1 shows the modem state; bit 1: output 2 shows the
  // power-save state; bits 2-7 are carried. The function options are hidden
  // and never selected, so "&Ok" on O1 clears bit 0 and on O2 bit 1; the
  // other output's bit and "&Storno" change nothing.
  struct Case {
    std::uint8_t before;
    int row;
    bool ok;
    std::uint8_t after;
  } cases[] = {
      {0x03, 0, true, 0x02}, {0x03, 1, true, 0x01}, {0x03, 0, false, 0x03}, {0xB6, 1, true, 0xB4},
      {0xB5, 0, true, 0xB4}, {0x00, 0, true, 0x00}, {0x00, 1, true, 0x00},  {0xFF, 1, false, 0xFF},
      {0xFF, 2, true, 0xFF}, {0x03, 2, true, 0x03},
  };
  for (const auto& c : cases) {
    ws.config.outputFunctionByte = c.before;
    ws.config.outputs[c.row].OUTNazev = "Ventil";
    Open(c.row, [&] {
      EXPECT_TRUE(Child<QRadioButton>(dlg(), "eeMaskDOutFnc1")->isChecked());
      EXPECT_FALSE(Child<QRadioButton>(dlg(), "eeMaskDOutFnc2")->isChecked());
      EXPECT_FALSE(Child<QRadioButton>(dlg(), "eeMaskDOutFnc3")->isChecked());
      edit("OUTNazev")->setText("Cerpadlo");
      (c.ok ? dlg().okButton() : dlg().stornoButton())->click();
    });
    EXPECT_EQ(ws.config.outputFunctionByte, c.after) << int(c.before) << " row " << c.row << " ok " << c.ok;
    EXPECT_EQ(ws.config.outputs[c.row].OUTNazev, c.ok ? "Cerpadlo" : "Ventil");
  }
}

TEST_F(OutputEditorTest, FieldRulesAreTheEditorsVariant) {
  const std::string outKeywords(rules::KeywordList);
  struct Case {
    const char* zap;
    const char* vyp;
    const char* impuls;
    const char* leave;  // the field left
    std::string message;
  } cases[] = {
      // Prefixes are allowed in the editor; equal names are not.
      {"ON", "ONX", "", "OUTVyp", ""},
      {"ON", "onx", "ONXY", "OUTimpuls", ""},
      {"on", "ON", "", "OUTVyp", "Název 'Vypnuto' nesmí být stejný jako název 'Zapnuto'."},
      {"Zap", "zap", "", "OUTZap", "Název 'Zapnuto' nesmí být stejný jako název 'Vypnuto'."},
      {"", "", "st", "OUTimpuls",
       "Název 'impuls' nesmí být žádné z těchto klíčových slov (ani jejich předpony): " + outKeywords},
      {"", "", "a b", "OUTimpuls",
       "Název 'Impuls' může obsahovat pouze tyto znaky: " + std::string(rules::CommandChars)},
      {"Stat", "", "", "OUTZap",
       "Název 'Zapnuto' nesmí být žádné z těchto klíčových slov (ani jejich předpony): " + outKeywords},
  };
  for (const auto& c : cases) {
    fx.messages.clear();
    ws.validationSuppressed = false;
    Open(0, [&] {
      edit("OUTZap")->setText(c.zap);
      edit("OUTVyp")->setText(c.vyp);
      edit("OUTimpuls")->setText(c.impuls);
      QLineEdit* left = edit(c.leave);
      MoveFocus(left, Child<QWidget>(dlg(), "OUTZpr"));
      if (c.message.empty()) {
        EXPECT_TRUE(fx.messages.shown.empty()) << c.zap << "/" << c.vyp << "/" << c.impuls;
      } else {
        EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{c.message});
        EXPECT_TRUE(left->hasFocus());
      }
      dlg().stornoButton()->click();
    });
  }
}

TEST_F(OutputEditorTest, PulseLengthIsNormalisedWhenLeft) {
  struct Case {
    const char* typed;
    char separator;
    const char* shown;
  } cases[] = {{"0,05", ',', "0,1"}, {"99", '.', "25.5"}};  // both notations; the limits: tests/rules
  for (const auto& c : cases) {
    ws.decimalSeparator = c.separator;
    Open(0, [&] {
      edit("OUTimpulsLEN")->setText(c.typed);
      MoveFocus(edit("OUTimpulsLEN"), Child<QWidget>(dlg(), "OUTZpr"));
      EXPECT_EQ(Text(dlg(), "OUTimpulsLEN"), c.shown) << c.typed;
      dlg().okButton()->click();
    });
    EXPECT_EQ(ws.config.outputs[0].OUTimpulsLEN, c.shown);
  }
  EXPECT_TRUE(fx.messages.shown.empty());
}

}  // namespace
}  // namespace vexa::ui
