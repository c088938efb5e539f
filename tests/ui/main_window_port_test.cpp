// The port selector: the system's ports after "COM 1".."COM 4", asked afresh
// whenever the list is opened, and locked while the link uses the port.
#include <QAbstractButton>
#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>

#include "../tools/vexa-unit-sim/pty_unit.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "ui/window_commands.h"
#include "ui/main_window_support.h"
#include "ui/port_selector.h"
#include "support/find_child.h"

namespace vexa::ui::testing {
namespace {

class PortTest : public MainWindowTest {
 protected:
  PortSelector* Selector() const { return qobject_cast<PortSelector*>(Child<PortSelector>(*window, "tabPort")); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> out;
    for (int i = 0; i < Child<PortSelector>(*window, "tabPort")->count(); ++i) out.push_back(Child<PortSelector>(*window, "tabPort")->itemText(i).toStdString());
    return out;
  }
  void Choose(const std::string& text) {
    const int i = Child<PortSelector>(*window, "tabPort")->findText(QString::fromStdString(text));
    ASSERT_GE(i, 0) << text;
    Child<PortSelector>(*window, "tabPort")->setCurrentIndex(i);
  }
  std::string Note() const { return Label("lblPortDevice")->text().toStdString(); }

  QTemporaryDir dosDevices;  // no COMn links: "COM n" is /dev/ttyS(n-1)
};

const std::string kUsb = "/dev/ttyUSB0 – FT232R USB UART, sériové číslo A1234";
const std::string kAcm = "/dev/ttyACM0 – sériové číslo 55";

TEST_F(PortTest, SystemPortsFollowTheComEntriesAndAreAskedOnOpening) {
  ASSERT_NE(Selector(), nullptr);
  Selector()->setDosDevicesDir(dosDevices.path().toStdString());
  const link::SystemPort usb{"/dev/ttyUSB0", "FT232R USB UART", "A1234"}, acm{"/dev/ttyACM0", "", "55"};
  struct Step {
    std::vector<link::SystemPort> system;  // what the system has when the list is opened
    std::string choose;                    // chosen after opening; empty: nothing
    std::vector<std::string> after;        // the entries after COM 1..COM 4
    std::string current, note;
  };
  const Step steps[] = {
      {{usb}, kUsb, {kUsb}, kUsb, "/dev/ttyUSB0"},
      {{usb, acm}, "", {kUsb, kAcm}, kUsb, "/dev/ttyUSB0"},  // plugged in meanwhile
      {{acm}, "", {kAcm, kUsb}, kUsb, "/dev/ttyUSB0"},       // the chosen adapter went: the choice stays
      {{acm}, "COM 2", {kAcm, kUsb}, "COM 2", "/dev/ttyS1"},  // gone at the next opening
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.current);
    fx.ports.ports = s.system;
    const int asked = fx.ports.asked;
    Child<PortSelector>(*window, "tabPort")->showPopup();
    Child<PortSelector>(*window, "tabPort")->hidePopup();
    EXPECT_EQ(fx.ports.asked, asked + 1);
    if (!s.choose.empty()) Choose(s.choose);
    std::vector<std::string> expected = {"COM 1", "COM 2", "COM 3", "COM 4"};
    expected.insert(expected.end(), s.after.begin(), s.after.end());
    EXPECT_EQ(Entries(), expected);
    EXPECT_EQ(Child<PortSelector>(*window, "tabPort")->currentText().toStdString(), s.current);
    EXPECT_EQ(ws.settings.Port, s.current);
    EXPECT_EQ(Note(), "Vybraný port otevírá zařízení " + s.note + ".");
  }
}

// A pseudo-terminal that never answers stands for a unit that is not in
// programming mode yet; activation opens it from its selector entry.
TEST_F(PortTest, SelectorIsLockedFromOpeningThePortUntilTheLinkIsInactive) {
  sim::PtyUnit pty;  // not served: nobody answers
  std::string error;
  ASSERT_TRUE(pty.Open(&error)) << error;
  const std::string slave = pty.slavePath();
  fx.ports.ports = {{slave, "Test adapter", ""}};
  AttachLink(*window, dosDevices.path().toStdString());
  Child<PortSelector>(*window, "tabPort")->showPopup();
  Child<PortSelector>(*window, "tabPort")->hidePopup();
  Choose(slave + " – Test adapter");

  std::vector<bool> enabledAtMessage;
  fx.messages.onShow = [&](const fake::ShownMessage&) { enabledAtMessage.push_back(Child<PortSelector>(*window, "tabPort")->isEnabled()); };
  fx.loop.onYield = [&] { ws.CancelRequested = true; };  // Storno while polling
  Child<QPushButton>(*window, "btDEA")->click();
  fx.messages.onShow = nullptr;
  fx.loop.onYield = nullptr;

  ASSERT_EQ(fx.messages.texts(), (std::vector<std::string>{texts::kMsgInstruction, texts::kMsgActivationFailed}));
  EXPECT_EQ(enabledAtMessage.front(), false);  // the port was open at the instruction
  EXPECT_EQ(LinkOf(*window)->state(), LinkState::Neaktivni);
  EXPECT_TRUE(Child<PortSelector>(*window, "tabPort")->isEnabled());
}

}  // namespace
}  // namespace vexa::ui::testing
