// The input editor "Vstup".
#include <QCheckBox>
#include <QLineEdit>

#include "rules/charsets.h"
#include "ui/editor_support.h"
#include "ui/input_editor.h"

namespace vexa::ui {
namespace {

using testing::Child;
using testing::MoveFocus;
using testing::Text;
using testing::WhileOpen;

struct InputEditorTest : testing::EditorFixture {
  InputEditor& dlg() { return editors.inputEditor(); }
  bool Open(int row, const std::function<void()>& script) {
    return WhileOpen(
        dlg(), [&] { editors.OpenInputEditor(row); }, script);
  }
  QLineEdit* edit(const char* name) { return Child<QLineEdit>(dlg(), name); }
  QCheckBox* box(const char* name) { return Child<QCheckBox>(dlg(), name); }
};

TEST_F(InputEditorTest, SendAtOnceBoxesFollowTheEventBoxesAndPowerSaveMode) {
  struct Case {
    bool enablePS, lhEvent, hlEvent;
    bool lhEnabled, hlEnabled;
  } cases[] = {
      {false, false, false, false, false}, {false, true, true, false, false}, {true, false, false, false, false},
      {true, true, false, true, false},    {true, false, true, false, true},  {true, true, true, true, true},
  };
  for (const auto& c : cases) {
    ws.config.general.EnablePS = c.enablePS;
    ws.config.inputs[3] = {};
    ws.config.inputs[3].INPLHEvent = c.lhEvent;
    ws.config.inputs[3].INPHLEvent = c.hlEvent;
    ws.config.inputs[3].MaskDInLHAlarm = true;  // disabling never clears it
    Open(3, [&] {
      EXPECT_EQ(box("eeMaskDInLHAlarm")->isEnabled(), c.lhEnabled) << c.enablePS << c.lhEvent << c.hlEvent;
      EXPECT_EQ(box("eeMaskDInHLAlarm")->isEnabled(), c.hlEnabled) << c.enablePS << c.lhEvent << c.hlEvent;
      EXPECT_TRUE(box("eeMaskDInLHAlarm")->isChecked());
      // A click on an event box runs CheckEnabled again.
      QTest::mouseClick(box("INPLHEvent"), Qt::LeftButton);
      EXPECT_EQ(box("eeMaskDInLHAlarm")->isEnabled(), !c.lhEvent && c.enablePS);
      EXPECT_TRUE(box("eeMaskDInLHAlarm")->isChecked());
      dlg().okButton()->click();
    });
    EXPECT_TRUE(ws.config.inputs[3].MaskDInLHAlarm);
  }
}

TEST_F(InputEditorTest, SendAtOnceTickedInTheEditorIsSetInTheRowAndShownAgain) {
  ws.config.general.EnablePS = true;  // only a decoded configuration sets it
  ws.config.inputs[0].INPLHEvent = true;
  Open(0, [&] {
    ASSERT_TRUE(box("eeMaskDInLHAlarm")->isEnabled());
    QTest::mouseClick(box("eeMaskDInLHAlarm"), Qt::LeftButton);
    dlg().okButton()->click();
  });
  EXPECT_TRUE(ws.config.inputs[0].MaskDInLHAlarm);
  EXPECT_FALSE(ws.config.inputs[0].MaskDInHLAlarm);
  Open(0, [&] {
    EXPECT_TRUE(box("eeMaskDInLHAlarm")->isChecked());
    dlg().stornoButton()->click();
  });
}

TEST_F(InputEditorTest, FieldRulesUseTheEditorsMessagesAndPutTheFocusBack) {
  struct Case {
    const char* field;
    const char* typed;
    std::string message;
  } cases[] = {
      {"INPLH", "a\"b",
       std::string("Název přechodu '0->1' může obsahovat pouze tyto znaky: ") + std::string(rules::NameChars)},
      {"INPHL", "x~",
       std::string("Název přechodu '1->0' může obsahovat pouze tyto znaky: ") + std::string(rules::NameChars)},
      {"INPNazev", "st",
       std::string("Název vstupu nesmí být žádné z těchto klíčových slov (ani jejich předpony): ") +
           std::string(rules::KeywordList)},
  };
  for (const auto& c : cases) {
    fx.messages.clear();
    ws.config.inputs[0] = {};
    Open(0, [&] {
      QLineEdit* e = edit(c.field);
      e->setText(c.typed);
      MoveFocus(e, box("INPZpr"));
      EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{c.message}) << c.field;
      EXPECT_TRUE(e->hasFocus()) << c.field;
      EXPECT_EQ(e->text().toStdString(), c.typed) << "the text is kept as typed";
      dlg().stornoButton()->click();
    });
    EXPECT_EQ(ws.config.inputs[0], DigitalInput{});
  }
}

TEST_F(InputEditorTest, EqualStateNamesAreReportedOnce) {
  ws.validationSuppressed = false;
  Open(0, [&] {
    edit("INPZap")->setText("Open");
    edit("INPVyp")->setText("OPEN");
    // Leaving INPVyp for INPZap reports the conflict and puts the focus back.
    MoveFocus(edit("INPVyp"), edit("INPZap"));
    EXPECT_EQ(fx.messages.texts(), std::vector<std::string>{"Název 'Vypnuto' nesmí být stejný jako název 'Zapnuto'."});
    EXPECT_TRUE(edit("INPVyp")->hasFocus());
    // Going over to INPZap to mend it does not report the same conflict again.
    edit("INPZap")->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    EXPECT_TRUE(edit("INPZap")->hasFocus());
    EXPECT_EQ(fx.messages.shown.size(), 1u);
    edit("INPZap")->setText("Opened");
    MoveFocus(edit("INPZap"), edit("INPLH"));
    EXPECT_EQ(fx.messages.shown.size(), 1u);
    dlg().okButton()->click();
  });
  EXPECT_EQ(ws.config.inputs[0].INPZap, "Opened");
  EXPECT_EQ(ws.config.inputs[0].INPVyp, "OPEN");
}

TEST_F(InputEditorTest, StornoClosesWhateverTheFieldsHold) {
  Open(0, [&] {
    QLineEdit* e = edit("INPNazev");
    e->setFocus();
    e->setText("\"bad\"");
    QTest::mouseClick(dlg().stornoButton(), Qt::LeftButton);
  });
  EXPECT_TRUE(fx.messages.shown.empty());
  EXPECT_TRUE(ws.CancelRequested);
  EXPECT_EQ(ws.config.inputs[0].INPNazev, "");
}

TEST_F(InputEditorTest, OkWithAFailingFieldKeepsTheEditorOpen) {
  // Clicking "&Ok" first takes the focus from the field, whose rule then
  // fails: nothing is copied back and the editor stays.
  const bool leftOpen = Open(0, [&] {
    QLineEdit* e = edit("INPNazev");
    e->setFocus();
    e->setText("reset");
    QTest::mouseClick(dlg().okButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dlg().isVisible());
    EXPECT_TRUE(e->hasFocus());
    EXPECT_EQ(fx.messages.shown.size(), 1u);
    // Mended, the same click goes through.
    e->setText("Brana");
    QTest::mouseClick(dlg().okButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
  });
  EXPECT_FALSE(leftOpen);
  EXPECT_EQ(ws.config.inputs[0].INPNazev, "Brana");
  EXPECT_EQ(fx.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace vexa::ui
