// What the editors and the graph look like. The graph's colours are checked
// pixel by pixel; with VEXA_SHOTS_DIR set the pictures are also saved as PNG
// files there, to be looked at.
#include <QDir>
#include <QImage>

#include "qt/picture_surface.h"
#include "ui/analog_editor.h"
#include "ui/editor_support.h"
#include "ui/input_editor.h"
#include "ui/output_editor.h"
#include "ui/phone_editor.h"

namespace vexa::ui {
namespace {

void Save(const QImage& image, const char* name) {
  const QByteArray dir = qgetenv("VEXA_SHOTS_DIR");
  if (dir.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(dir));
  EXPECT_TRUE(image.save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name) + ".png")) << name;
}

QImage Grab(QDialog& d) {
  d.show();
  QCoreApplication::processEvents();
  QImage image = d.grab().toImage();
  d.hide();
  return image;
}

int CountColour(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
  }
  return n;
}

struct EditorShots : testing::EditorFixture {};

TEST_F(EditorShots, EveryEditorRendersWhole) {
  ws.config.phones[0] = {"+420601234567", true, false};
  ws.config.inputs[0] = {"Dvere", "Otevreno", "Zavreno", "Otevreni", "Zavreni", true, false, false, true, false, false};
  ws.config.outputs[0] = {"Cerpadlo", "ZAP", "VYP", "PULS", "2,5", false, true};
  ws.config.analogs[0].AINNazev = "Hladina";
  ws.config.analogs[0].AINCL1Level = "20";
  ws.config.analogs[0].AINHCL1Level = "5";
  ws.config.analogs[0].AINCL2Level = "80";
  ws.config.analogs[0].AINHCL2Level = "10";
  ws.config.analogs[0].AINCL1UpEvent = true;
  ws.config.analogs[0].AINCL1Up = "Hladina stoupa";
  ws.config.general.EnablePS = true;

  editors.phoneEditor().Load(0);
  editors.inputEditor().Load(0);
  editors.outputEditor().Load(0);
  editors.analogEditor().Load(0);
  const std::pair<QDialog*, const char*> shots[] = {{&editors.phoneEditor(), "editor_phone"},
                                                    {&editors.inputEditor(), "editor_input"},
                                                    {&editors.outputEditor(), "editor_output_o1"},
                                                    {&editors.analogEditor(), "editor_analog"}};
  for (const auto& [dialog, file] : shots) {
    const QImage image = Grab(*dialog);
    ASSERT_FALSE(image.isNull()) << file;
    // Every control fits: the dialog is no smaller than its layout wants.
    EXPECT_GE(image.width(), dialog->minimumSizeHint().width()) << file;
    EXPECT_GE(image.height(), dialog->minimumSizeHint().height()) << file;
    Save(image, file);
  }
  // Output 2 has no pulse line, so its editor is lower.
  const int withPulse = Grab(editors.outputEditor()).height();
  editors.outputEditor().Load(1);
  const QImage o2 = Grab(editors.outputEditor());
  EXPECT_LT(o2.height(), withPulse);
  Save(o2, "editor_output_o2");
  editors.analogEditor().Load(kBatteryRow);
  Save(Grab(editors.analogEditor()), "editor_analog_bat");
}

TEST_F(EditorShots, GraphBandsAreRedExactlyWhenTheyOverlapOrLeaveTheRange) {
  struct Case {
    const char* file;
    int row;
    const char *cl1, *hcl1, *cl2, *hcl2;
    bool negated;
    bool red;
  } cases[] = {
      {"graph_apart", 0, "20", "5", "80", "10", false, false},
      {"graph_touching", 0, "40", "20", "80", "20", false, false},
      {"graph_overlapping", 0, "40", "20", "50", "20", false, true},
      {"graph_below_min", 0, "10", "20", "70", "5", false, true},
      {"graph_above_max", 0, "30", "5", "95", "10", false, true},
      {"graph_equal_levels", 0, "50", "0", "50", "0", false, false},
      {"graph_negated", 0, "25", "5", "75", "5", true, false},
      {"graph_battery", kBatteryRow, "10,5", "1", "22", "0", false, false},
  };
  AnalogEditor& dlg = editors.analogEditor();
  for (const auto& c : cases) {
    AnalogInput& a = ws.config.analogs[static_cast<std::size_t>(c.row)];
    a.AINCL1Level = c.cl1;
    a.AINHCL1Level = c.hcl1;
    a.AINCL2Level = c.cl2;
    a.AINHCL2Level = c.hcl2;
    a.AINNeg = c.negated;
    dlg.DrawRowGraph(c.row);
    const QImage image = dlg.graph()->grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(CountColour(image, qRgb(0, 0, 255)), 0) << c.file;
    EXPECT_EQ(CountColour(image, qRgb(255, 0, 0)) > 0, c.red) << c.file;
    Save(image, c.file);
  }
}

}  // namespace
}  // namespace vexa::ui
