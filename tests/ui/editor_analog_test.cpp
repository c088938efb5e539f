// The analog input editor "Analog" and its graph.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>

#include "qt/picture_surface.h"
#include "rules/charsets.h"
#include "ui/analog_editor.h"
#include "ui/editor_support.h"

namespace vexa::ui {
namespace {

using testing::Child;
using testing::MoveFocus;
using testing::Text;
using testing::WhileOpen;

constexpr const char* kLevelsRefused = "Hodnoty CL1, HCL1, CL2, HCL2 jsou chybně zadány.";

struct AnalogEditorTest : testing::EditorFixture {
  AnalogEditor& dlg() { return editors.analogEditor(); }
  bool Open(int row, const std::function<void()>& script) {
    return WhileOpen(
        dlg(), [&] { editors.EditAnalogInput(row); }, script);
  }
  QLineEdit* edit(const char* name) { return Child<QLineEdit>(dlg(), name); }
  QCheckBox* box(const char* name) { return Child<QCheckBox>(dlg(), name); }
  QImage GraphImage() { return dlg().graph()->grab().toImage(); }
};

TEST_F(AnalogEditorTest, OnlyTheLowFourBitsOfTheSendAtOnceByteAreEdited) {
  // Bits 0-3 are CL1 up, CL1 down, CL2 up, CL2 down; bits 4-7 are carried.
  ws.config.general.EnablePS = true;
  ws.config.analogs[0].sendAtOnceByte = 0xA5;
  Open(0, [&] {
    const char* boxes[] = {"eeCL1Up", "eeCL1Down", "eeCL2Up", "eeCL2Down"};
    const bool shown[] = {true, false, true, false};
    for (int k = 0; k < 4; ++k) EXPECT_EQ(box(boxes[k])->isChecked(), shown[k]) << boxes[k];
    for (QLabel* unit : dlg().findChildren<QLabel*>(QStringLiteral("valSTR"))) EXPECT_EQ(unit->text(), "%");
    box("eeCL1Up")->setChecked(false);
    box("eeCL1Down")->setChecked(true);
    dlg().okButton()->click();
  });
  EXPECT_EQ(ws.config.analogs[0].sendAtOnceByte, 0xA6);
}

TEST_F(AnalogEditorTest, LevelsGoOntoTheUnitsGridWhenLeft) {
  struct Case {
    int row;
    const char* field;
    const char* typed;
    char separator;
    const char* shown;
  } cases[] = {
      // Each level field, in both notations, and the battery's own scale; the
      // grid itself is the rules' (AnalogLevelNormalisation in tests/rules).
      {0, "AINCL1Level", "50", ',', "49,8"},     {0, "AINCL2Level", "150", '.', "100"},
      {0, "AINHCL1Level", "80", ',', "49,8"},    {0, "AINHCL2Level", "5", '.', "5.1"},
      {kBatteryRow, "AINCL1Level", "30", ',', "27"},
  };
  for (const auto& c : cases) {
    ws.decimalSeparator = c.separator;
    Open(c.row, [&] {
      QLineEdit* e = edit(c.field);
      e->setText(c.typed);
      MoveFocus(e, box("AINNeg"));
      EXPECT_EQ(e->text().toStdString(), c.shown) << c.field << " " << c.typed << " row " << c.row;
      dlg().stornoButton()->click();
    });
  }
  EXPECT_TRUE(fx.messages.shown.empty());
}

TEST_F(AnalogEditorTest, OkRefusesInconsistentLevels) {
  struct Case {
    const char *cl1, *hcl1, *cl2, *hcl2;
    bool accepted;
  } cases[] = {
      // Which bands fit is the rules' (CheckAnalogLevels in tests/rules).
      {"40", "20", "80", "20", true}, {"80", "0", "40", "0", false}, {"30", "10,2", "50", "10", false},
  };
  for (const auto& c : cases) {
    fx.messages.clear();
    ws.config.analogs[0] = AnalogInput{};
    ws.config.analogs[0].AINCL1Level = "0";
    ws.config.analogs[0].AINCL2Level = "100";
    const AnalogInput before = ws.config.analogs[0];
    const bool leftOpen = Open(0, [&] {
      edit("AINCL1Level")->setText(c.cl1);
      edit("AINHCL1Level")->setText(c.hcl1);
      edit("AINCL2Level")->setText(c.cl2);
      edit("AINHCL2Level")->setText(c.hcl2);
      edit("AINNazev")->setFocus();
      dlg().okButton()->click();
      if (!c.accepted) {
        EXPECT_TRUE(dlg().isVisible());
        EXPECT_TRUE(edit("AINCL1Level")->hasFocus());
        // Every field as typed.
        EXPECT_EQ(Text(dlg(), "AINCL1Level"), c.cl1);
        EXPECT_EQ(Text(dlg(), "AINHCL1Level"), c.hcl1);
        EXPECT_EQ(Text(dlg(), "AINCL2Level"), c.cl2);
        EXPECT_EQ(Text(dlg(), "AINHCL2Level"), c.hcl2);
        dlg().stornoButton()->click();
      }
    });
    EXPECT_FALSE(leftOpen);
    const std::string what = std::string(c.cl1) + "/" + c.hcl1 + "/" + c.cl2 + "/" + c.hcl2;
    if (c.accepted) {
      EXPECT_TRUE(fx.messages.shown.empty()) << what;
      EXPECT_EQ(ws.config.analogs[0].AINCL1Level, c.cl1) << what;
      EXPECT_EQ(ws.config.analogs[0].AINHCL2Level, c.hcl2) << what;
    } else {
      ASSERT_EQ(fx.messages.shown.size(), 1u) << what;
      EXPECT_EQ(fx.messages.shown[0].text, kLevelsRefused);
      EXPECT_EQ(fx.messages.shown[0].icon, Icon::Error);
      EXPECT_EQ(ws.config.analogs[0], before) << what;
    }
  }
}

TEST_F(AnalogEditorTest, OkPutsTheFocusedLevelOnTheGridBeforeTheTest) {
  // Enter in a level field: the level is normalised first, so the row gets
  // the grid value ("50" is stored as 49,8).
  ws.decimalSeparator = ',';
  Open(0, [&] {
    QLineEdit* e = edit("AINCL2Level");
    e->setFocus();
    e->setText("50");
    QTest::keyClick(e, Qt::Key_Return);
  });
  EXPECT_EQ(ws.config.analogs[0].AINCL2Level, "49,8");
}

TEST_F(AnalogEditorTest, SendAtOnceBoxesFollowTheEventBoxesAndPowerSaveMode) {
  const char* events[] = {"AINCL1UpEvent", "AINCL1DnEvent", "AINCL2UpEvent", "AINCL2DnEvent"};
  const char* atOnce[] = {"eeCL1Up", "eeCL1Down", "eeCL2Up", "eeCL2Down"};
  for (bool enablePS : {false, true}) {
    ws.config.general.EnablePS = enablePS;
    ws.config.analogs[0] = AnalogInput{};
    ws.config.analogs[0].AINCL1Level = "0";
    ws.config.analogs[0].AINCL2Level = "100";
    ws.config.analogs[0].AINCL1UpEvent = true;
    ws.config.analogs[0].AINCL2UpEvent = true;
    ws.config.analogs[0].sendAtOnceByte = 0x1F;  // all four ticked, bit 4 carried
    Open(0, [&] {
      const bool ticked[] = {true, false, true, false};
      for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(box(atOnce[k])->isEnabled(), ticked[k] && enablePS) << atOnce[k] << " PS " << enablePS;
        EXPECT_TRUE(box(atOnce[k])->isChecked()) << atOnce[k];
      }
      // A click on an event box runs CheckEnabled again.
      for (int k = 0; k < 4; ++k) {
        QTest::mouseClick(box(events[k]), Qt::LeftButton);
        EXPECT_EQ(box(atOnce[k])->isEnabled(), !ticked[k] && enablePS) << atOnce[k] << " PS " << enablePS;
      }
      dlg().okButton()->click();
    });
    // Disabled or not, the ticked boxes are written back.
    EXPECT_EQ(ws.config.analogs[0].sendAtOnceByte, 0x1F) << "PS " << enablePS;
  }
}

TEST_F(AnalogEditorTest, TextsAreCheckedAgainstTheSmsCharacters) {
  const char* fields[] = {"AINNazev", "AINStateL", "AINStateM", "AINStateH",
                          "AINCL1Up", "AINCL1Dn",  "AINCL2Up",  "AINCL2Dn"};
  const std::string message = "Text může obsahovat pouze tyto znaky: " + std::string(rules::TextChars);
  for (const char* field : fields) {
    fx.messages.clear();
    Open(1, [&] {
      QLineEdit* e = edit(field);
      e->setText("pozor \"A\"");
      MoveFocus(e, box("AINNeg"));
      EXPECT_EQ(fx.messages.firstLines(), std::vector<std::string>{message}) << field;
      EXPECT_TRUE(e->hasFocus()) << field;
      EXPECT_EQ(e->text().toStdString(), "pozor \"A\"") << field;
      // The tilde is an SMS character.
      e->setText("pozor ~A~");
      MoveFocus(e, box("AINNeg"));
      EXPECT_EQ(fx.messages.shown.size(), 1u) << field;
      dlg().stornoButton()->click();
    });
  }
}

TEST_F(AnalogEditorTest, TheBatteryTextFlowsIntoTheBatteryReport) {
  ws.config.rtBattLow() = "stara";
  Open(kBatteryRow, [&] {
    EXPECT_EQ(dlg().windowTitle().toStdString(), "Analogový vstup BAT");
    EXPECT_EQ(Text(dlg(), "AINCL1Dn"), "stara");
    for (QLabel* unit : dlg().findChildren<QLabel*>(QStringLiteral("valSTR"))) EXPECT_EQ(unit->text(), "V");
    edit("AINCL1Dn")->setText("Baterie slaba");
    dlg().okButton()->click();
  });
  EXPECT_EQ(ws.config.rtBattLow(), "Baterie slaba");
  Open(kBatteryRow, [&] {
    edit("AINCL1Dn")->setText("nic");
    dlg().stornoButton()->click();
  });
  EXPECT_EQ(ws.config.rtBattLow(), "Baterie slaba");
}

TEST_F(AnalogEditorTest, TheGraphFollowsEveryKeystrokeAndTheNegation) {
  ws.config.analogs[0].AINCL1Level = "30";
  ws.config.analogs[0].AINCL2Level = "70";
  Open(0, [&] {
    QImage last = GraphImage();
    ASSERT_FALSE(last.isNull());
    // Each field's text selected and typed over, one key at a time.
    struct Step {
      const char* field;
      const char* keys;
    } steps[] = {
        {"AINCL1Level", "25"},
        {"AINHCL1Level", "5"},
        {"AINCL2Level", "90"},
        {"AINHCL2Level", "35"},
    };
    for (const auto& s : steps) {
      QLineEdit* e = edit(s.field);
      e->setFocus();
      e->selectAll();
      for (const char* k = s.keys; *k; ++k) {
        QTest::keyClick(e, *k);
        const QImage now = GraphImage();
        EXPECT_NE(now, last) << "typing " << *k << " into " << s.field;
        last = now;
      }
    }
    QTest::mouseClick(box("AINNeg"), Qt::LeftButton);
    const QImage negated = GraphImage();
    EXPECT_NE(negated, last) << "clicking AINNeg";
    dlg().stornoButton()->click();
  });
}

TEST_F(AnalogEditorTest, TheGraphNeverFailsWhateverTheLevelsHold) {
  const char* texts[] = {"", "-", ",", "abc", "9999", "-50", "1e9", ",,,,", "0,0", "\xC4\x8D"};
  Open(kBatteryRow, [&] {
    for (const char* t : texts) {
      for (const char* field : {"AINCL1Level", "AINHCL1Level", "AINCL2Level", "AINHCL2Level"}) {
        edit(field)->setText(QString::fromUtf8(t));
      }
      const QImage img = GraphImage();
      EXPECT_FALSE(img.isNull()) << t;
    }
    dlg().stornoButton()->click();
  });
}

TEST_F(AnalogEditorTest, TheReportDrawsARowsGraphWithTheDialogHidden) {
  ws.config.analogs[0].AINCL1Level = "30";
  ws.config.analogs[0].AINCL2Level = "70";
  const qt::PictureSurface& surface = dlg().DrawRowGraph(0);
  EXPECT_FALSE(dlg().isVisible());
  EXPECT_EQ(surface.Width(), kGraphWidth);
  EXPECT_EQ(surface.Height(), kGraphHeight);
  const QByteArray first(surface.Picture().data(), static_cast<int>(surface.Picture().size()));
  ws.config.analogs[0].AINCL2Level = "90";
  const QByteArray second(dlg().DrawRowGraph(0).Picture().data(),
                          static_cast<int>(dlg().DrawRowGraph(0).Picture().size()));
  EXPECT_NE(first, second);
  EXPECT_EQ(dlg().row(), 0);
}

}  // namespace
}  // namespace vexa::ui
