#include "ui/link_wiring.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QPushButton>
#include <QToolButton>
#include <memory>
#include <optional>

#include "link/programming_mode.h"
#include "link/workflows.h"
#include "qt/qt_serial_port.h"
#include "ui/command_runner.h"
#include "ui/compare_wiring.h"
#include "ui/main_window.h"
#include "ui/port_selector.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

constexpr const char* kWiringName = "LinkWiring";

// Lives as a child of the main window: the serial port with its clock. The
// window's command runner keeps the link commands apart from each other and
// from the file and print commands (a file command would rewrite the image a
// transfer is using; printing would take over the one progress window and
// its cancel flag).
class LinkWiring : public QObject {
 public:
  LinkWiring(MainWindow& window, const std::string& dosDevicesDir)
      : QObject(&window),
        window_(window),
        port_(clock_, dosDevicesDir.empty() ? qt::QtSerialPort::DefaultDosDevicesDir() : dosDevicesDir),
        link_(port_, clock_) {
    setObjectName(QString::fromLatin1(kWiringName));
  }

  link::Link& link() { return link_; }

  // Releases the unit without asking anything and closes the port.
  void ReleaseQuietly() {
    struct Quiet : MessageBox {
      Answer Show(Icon, const std::string&, Buttons buttons) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
      }
    } quiet;
    Services services{quiet, sv().progress, sv().loop};
    ws().CancelRequested = false;
    if (ws().link != LinkState::Neaktivni) link::DeactivateLink(link_, ws(), services);
    port_.Close();
  }

  void Dea() {
    // The selector shows the port in use from the moment it is opened
    // until the link is inactive again.
    QPointer<QWidget> selector = window_.tabPort();
    if (selector) selector->setEnabled(false);
    if (ws().link == LinkState::Neaktivni) {
      link::ActivateLink(link_, ws(), sv());
    } else {
      link::DeactivateLink(link_, ws(), sv());
    }
    if (selector) selector->setEnabled(ws().link == LinkState::Neaktivni);
  }
  void Load() {
    if (ws().link == LinkState::Aktivni) link::ReadWorkflow(link_, ws(), sv(), {.fullRead = ws().settings.FullRead});
  }
  void Save() {
    if (ws().link != LinkState::Aktivni) return;
    link::WriteOptions options;
    options.backup = ws().settings.Backup;
    std::optional<link::WriteBackup> kept;
    link::WriteWorkflow(link_, ws(), sv(), options, &kept);
    if (kept && kept->changesWanted) ShowWriteChanges(window_, *kept);
  }

  // The exit guard. The window stops a running command before it asks
  // (closing then goes on once the command has ended); the question about
  // releasing the unit is itself run as a command, so no other starts while
  // it waits for the unit.
  bool MayExit(bool allowCancel) {
    bool mayExit = false;
    window_.commands().Run([&] { mayExit = link::ConfirmExit(link_, ws(), sv(), allowCancel); });
    return mayExit;
  }

 private:
  Workspace& ws() { return window_.workspace(); }
  Services& sv() { return window_.services(); }

  MainWindow& window_;
  link::SteadyClock clock_;
  qt::QtSerialPort port_;
  link::Link link_;
};

LinkWiring* WiringOf(MainWindow& window) {
  return window.findChild<LinkWiring*>(QString::fromLatin1(kWiringName), Qt::FindDirectChildrenOnly);
}

}  // namespace

void AttachLink(MainWindow& window, const std::string& dosDevicesDir) {
  if (WiringOf(window)) return;
  auto* wiring = new LinkWiring(window, dosDevicesDir);
  if (auto* selector = qobject_cast<PortSelector*>(window.tabPort())) selector->setDosDevicesDir(dosDevicesDir);
  CommandRunner& commands = window.commands();
  commands.Bind(window.btDEA(), [wiring] { wiring->Dea(); });
  commands.Bind(window.btEEPROMLoad(), [wiring] { wiring->Load(); });
  commands.Bind(window.btEEPROMSave(), [wiring] { wiring->Save(); });
  QPointer<LinkWiring> guard(wiring);
  window.setExitGuard([guard](bool allowCancel) { return guard ? guard->MayExit(allowCancel) : true; });
}

void StopAndQuit(MainWindow& window, int exitCode, std::function<void(int)> quit, int graceMs) {
  if (!quit) quit = [](int code) { QCoreApplication::exit(code); };
  auto done = std::make_shared<bool>(false);
  auto finish = [quit, done, exitCode] {
    if (*done) return;
    *done = true;
    quit(exitCode);
  };
  window.workspace().CancelRequested = true;
  QTimer::singleShot(graceMs, &window, finish);
  QPointer<MainWindow> w(&window);
  window.commands().AfterCommand([w, finish] {
    if (w) {
      if (LinkWiring* wiring = WiringOf(*w)) wiring->ReleaseQuietly();
    }
    finish();
  });
}

link::Link* LinkOf(MainWindow& window) {
  LinkWiring* wiring = WiringOf(window);
  return wiring ? &wiring->link() : nullptr;
}

}  // namespace vexa::ui
