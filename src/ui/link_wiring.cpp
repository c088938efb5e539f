#include "ui/link_wiring.h"

#include <QPointer>
#include <QPushButton>
#include <QToolButton>
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
    // Every block moved shows on the progress window's bar.
    link_.onBlock = [this](long done, long total) { sv().progress.SetProgress(done, total); };
  }

  link::Link& link() { return link_; }

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
    if (ws().link != LinkState::Aktivni) return;
    window_.LockFields(true);
    const link::WorkflowResult result =
        link::ReadWorkflow(link_, ws(), sv(), {.fullRead = ws().settings.FullRead});
    window_.LockFields(false);
    if (result == link::WorkflowResult::Completed) {
      // "COM 1", or an adapter's device without its description.
      const QString port = QString::fromStdString(ws().settings.Port).section(QStringLiteral(" – "), 0, 0);
      window_.setSource(
          QStringLiteral("Zařízení %1 na %2").arg(QString::fromStdString(ws().device.Product), port));
    }
  }
  void Save() {
    if (ws().link != LinkState::Aktivni) return;
    link::WriteOptions options;
    options.backup = ws().settings.Backup;
    options.fullWrite = ws().settings.FullWrite;
    std::optional<link::WriteBackup> kept;
    window_.LockFields(true);
    link::WriteWorkflow(link_, ws(), sv(), options, &kept);
    window_.LockFields(false);
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

link::Link* LinkOf(MainWindow& window) {
  LinkWiring* wiring = WiringOf(window);
  return wiring ? &wiring->link() : nullptr;
}

}  // namespace vexa::ui
