// The phone editor "TelCislo".
#include <QCheckBox>
#include <QLineEdit>

#include "ui/editor_support.h"
#include "ui/phone_editor.h"

namespace vexa::ui {
namespace {

using testing::Child;
using testing::MoveFocus;
using testing::Text;
using testing::WhileOpen;

struct PhoneEditorTest : testing::EditorFixture {
  PhoneEditor& dlg() { return editors.phoneEditor(); }
  bool Open(int row, const std::function<void()>& script) {
    return WhileOpen(
        dlg(), [&] { editors.OpenPhoneEditor(row); }, script);
  }
};

TEST_F(PhoneEditorTest, ClearedNumberWithRightsIsWarnedAboutAfterOk) {
  ws.config.phones[2] = {"+420601111222", true, false};
  Open(2, [&] {
    testing::SetText(dlg(), "TC", "");
    // The editor's own rule does not run the phone-row rule.
    MoveFocus(Child<QLineEdit>(dlg(), "TC"), Child<QCheckBox>(dlg(), "TCPrijem"));
    EXPECT_TRUE(fx.messages.shown.empty());
    dlg().okButton()->click();
  });
  EXPECT_EQ(ws.config.phones[2].TC, "");
  EXPECT_FALSE(ws.config.phones[2].TCPrijem);
  ASSERT_EQ(fx.messages.shown.size(), 1u);
  EXPECT_EQ(fx.messages.shown[0].icon, Icon::Warning);
  EXPECT_EQ(fx.messages.shown[0].text,
            "Pokud není zadáno telefonní číslo musí být zaškrtávací pole 'Příjem' nezaškrtnuté.");
}

TEST_F(PhoneEditorTest, ThePhoneRowRuleRunsAfterStornoToo) {
  // An inconsistent row (as a decoded image may bring) is mended even when
  // the editor is cancelled.
  ws.config.phones[5] = {"", true, true};
  Open(5, [&] { dlg().stornoButton()->click(); });
  EXPECT_TRUE(ws.CancelRequested);
  EXPECT_FALSE(ws.config.phones[5].TCPrijem);
  EXPECT_FALSE(ws.config.phones[5].TCUdalost);
  EXPECT_EQ(fx.messages.texts(),
            (std::vector<std::string>{
                "Pokud není zadáno telefonní číslo musí být zaškrtávací pole 'Příjem' nezaškrtnuté.",
                "Pokud není zadáno telefonní číslo musí být zaškrtávací pole 'Události' nezaškrtnuté."}));
}

TEST_F(PhoneEditorTest, NumberIsNormalisedOrRefusedWhenLeft) {
  struct Case {
    const char* typed;
    bool utoEnable;
    const char* shown;
    const char* message;  // empty: none
  } cases[] = {
      // The prefix switch reaches the editor; the numbers' forms are the
      // rules' (NormalizePhoneNumber and PhoneRow in tests/rules).
      {"0601234567", true, "+420601234567", ""},
      {"0601234567", false, "0601234567", ""},
      {"60a123", true, "60a123", "Telefonní číslo je špatně zadáno."},
  };
  for (const auto& c : cases) {
    ws.settings.UTOEnable = c.utoEnable;
    fx.messages.clear();
    Open(1, [&] {
      auto* tc = Child<QLineEdit>(dlg(), "TC");
      auto* prijem = Child<QCheckBox>(dlg(), "TCPrijem");
      tc->setText(c.typed);
      MoveFocus(tc, prijem);
      EXPECT_EQ(tc->text().toStdString(), c.shown) << c.typed;
      if (*c.message) {
        EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{c.message}) << c.typed;
        EXPECT_EQ(fx.messages.shown.at(0).icon, Icon::Error);
        EXPECT_TRUE(tc->hasFocus()) << c.typed;
      } else {
        EXPECT_TRUE(fx.messages.shown.empty()) << c.typed;
        EXPECT_TRUE(prijem->hasFocus()) << c.typed;
      }
      dlg().stornoButton()->click();
    });
  }
}

TEST_F(PhoneEditorTest, EnterOnTheNumberRunsItsRuleBeforeCopyingBack) {
  // Pressing Enter never lets the number leave the field, so "&Ok" runs its
  // rule first: the row gets the normalised number, and a refused number
  // keeps the editor open.
  ws.settings.UTOEnable = true;
  Open(4, [&] {
    auto* tc = Child<QLineEdit>(dlg(), "TC");
    tc->setFocus();
    QTest::keyClicks(tc, "0601234567");
    QTest::keyClick(tc, Qt::Key_Return);
  });
  EXPECT_EQ(ws.config.phones[4].TC, "+420601234567");

  const bool leftOpen = Open(4, [&] {
    auto* tc = Child<QLineEdit>(dlg(), "TC");
    tc->setFocus();
    tc->selectAll();
    QTest::keyClicks(tc, "12x");
    QTest::keyClick(tc, Qt::Key_Return);
    EXPECT_TRUE(dlg().isVisible());
    EXPECT_TRUE(tc->hasFocus());
  });
  EXPECT_TRUE(leftOpen);
  EXPECT_EQ(ws.config.phones[4].TC, "+420601234567");
  EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{"Telefonní číslo je špatně zadáno."});
}

TEST_F(PhoneEditorTest, FocusSelectsTheWholeTextWithTheCaretAtItsStart) {
  ws.config.phones[0].TC = "+420601111222";
  Open(0, [&] {
    auto* tc = Child<QLineEdit>(dlg(), "TC");
    auto* prijem = Child<QCheckBox>(dlg(), "TCPrijem");
    prijem->setFocus();
    tc->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(tc->selectedText().toStdString(), "+420601111222");
    EXPECT_EQ(tc->cursorPosition(), 0);
    // Typing replaces it.
    QTest::keyClicks(tc, "777");
    EXPECT_EQ(tc->text().toStdString(), "777");
    dlg().stornoButton()->click();
  });
}

}  // namespace
}  // namespace vexa::ui
