// The program's own settings kept between runs: written, read back and put
// into a window; a damaged file gives the defaults; a remembered adapter that
// is not connected leaves "COM 1" selected, says so, and stays remembered.
#include <QCheckBox>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>

#include "ui/main_window_support.h"
#include "ui/remembered_settings.h"
#include "ui/window_commands.h"
#include "support/find_child.h"

namespace vexa::ui::testing {
namespace {

using Kind = RememberedPort::Kind;

std::vector<bool> Boxes(const ProgramSettings& s) {
  std::vector<bool> out;
  for (const RememberedBox& box : kRememberedBoxes) out.push_back(s.*box.setting);
  return out;
}

TEST(RememberedSettingsTest, RoundTripThroughTheFileAndTheWindow) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const ProgramSettings defaults;
  struct Case {
    const char* name;
    std::vector<link::SystemPort> connected;
    RememberedPort port;
    QString selected;      // the selector's device afterwards
    bool missingNote;      // the status line names the missing port
  } cases[] = {
      {"com", {}, {Kind::Com, "COM 3"}, "", false},
      {"adapter by serial number, under another name", {{"/dev/ttyUSB3", "FT232R", "A1234"}},
       {Kind::Serial, "A1234"}, "/dev/ttyUSB3", false},
      {"adapter without serial number", {{"/dev/ttyACM0", "", ""}}, {Kind::Device, "/dev/ttyACM0"}, "/dev/ttyACM0",
       false},
      {"adapter missing", {{"/dev/ttyUSB0", "other", "B9"}}, {Kind::Serial, "A1234"}, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Remembered r;
    for (const RememberedBox& box : kRememberedBoxes) r.settings.*box.setting = !(defaults.*box.setting);
    r.port = c.port;
    r.openFolder = tmp.path() + QStringLiteral("/open");
    r.saveFolder = tmp.path() + QStringLiteral("/save");
    r.pdfFolder = tmp.path() + QStringLiteral("/pdf");
    const QString file = tmp.filePath(QString::fromLatin1(c.name) + QStringLiteral("/vexa-init.conf"));
    ASSERT_TRUE(WriteRemembered(file, r));

    const Remembered back = ReadRemembered(file);
    EXPECT_EQ(Boxes(back.settings), Boxes(r.settings));
    EXPECT_EQ(back.port.kind, c.port.kind);
    EXPECT_EQ(back.port.value, c.port.value);
    EXPECT_EQ(back.openFolder, r.openFolder);
    EXPECT_EQ(back.saveFolder, r.saveFolder);
    EXPECT_EQ(back.pdfFolder, r.pdfFolder);

    Workspace ws;
    fake::FakeServices fx;
    fx.ports.ports = c.connected;
    MainWindow window(ws, fx.services);
    ApplyRemembered(RememberedPartsOf(window), back);
    QCoreApplication::processEvents();  // the status line is told from the event loop
    EXPECT_EQ(Boxes(ws.settings), Boxes(r.settings));
    for (const RememberedBox& box : kRememberedBoxes) {
      auto* check = window.findChild<QCheckBox*>(QStringLiteral("tab") + QLatin1String(box.key));
      ASSERT_NE(check, nullptr) << box.key;
      EXPECT_EQ(check->isChecked(), r.settings.*box.setting) << box.key;
    }
    const QString expectedText = c.port.kind == Kind::Com ? c.port.value : c.missingNote ? "COM 1" : QString();
    if (!expectedText.isEmpty()) {
      EXPECT_EQ(Child<PortSelector>(window, "tabPort")->currentText(), expectedText);
    }
    if (!c.selected.isEmpty()) {
      EXPECT_EQ(Child<PortSelector>(window, "tabPort")->currentDevice(), c.selected);
    }
    EXPECT_EQ(window.statusBar()->currentMessage().contains(c.port.value), c.missingNote)
        << window.statusBar()->currentMessage().toStdString();

    // What the window gives back is what was remembered, the missing adapter
    // included.
    const Remembered again = CollectRemembered(RememberedPartsOf(window));
    EXPECT_EQ(again.port.kind, c.port.kind);
    EXPECT_EQ(again.port.value, c.port.value);
    EXPECT_EQ(Boxes(again.settings), Boxes(r.settings));
  }
}

TEST(RememberedSettingsTest, DamagedOrMissingFileGivesTheDefaults) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const ProgramSettings defaults;
  const QByteArray contents[] = {
      QByteArray("\x00\xff\xfe[[[\x01=\n=\x02", 11),
      QByteArray("[boxes]\nCheckWrite=maybe\nFullRead=1\nBackup=\n[port]\nkind=serial\nvalue=\n"
                 "[folders]\nopen=relative/path\nsave=@Variant(garbage)\n[window]\ngeometry=42\n"),
      QByteArray("[port]\nkind=com\nvalue=COM 1 x\n[boxes]\nBackup=FALSE\n"),
      // Written by an earlier version: the backup box starts ticked in every run.
      QByteArray("[boxes]\nBackup=false\n"),
  };
  int n = 0;
  for (const QByteArray& bytes : contents) {
    SCOPED_TRACE(n);
    const QString file = tmp.filePath(QStringLiteral("damaged%1.conf").arg(n++));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const Remembered r = ReadRemembered(file);
    EXPECT_EQ(Boxes(r.settings), Boxes(defaults));
    EXPECT_TRUE(r.settings.Backup);
    EXPECT_EQ(r.port.kind, Kind::None);
    EXPECT_TRUE(r.openFolder.isEmpty());
    EXPECT_TRUE(r.saveFolder.isEmpty());
    EXPECT_TRUE(r.geometry.isEmpty());
  }
  const Remembered none = ReadRemembered(tmp.filePath(QStringLiteral("absent/vexa-init.conf")));
  EXPECT_EQ(Boxes(none.settings), Boxes(defaults));
  EXPECT_EQ(none.port.kind, Kind::None);
}

}  // namespace
}  // namespace vexa::ui::testing
