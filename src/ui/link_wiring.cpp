#include "ui/link_wiring.h"

#include <QAbstractButton>
#include <QPointer>
#include <QTimer>
#include <iterator>

#include "link/programming_mode.h"
#include "link/workflows.h"
#include "qt/qt_serial_port.h"
#include "ui/main_window.h"
#include "ui/port_selector.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

constexpr const char* kWiringName = "LinkWiring";

// Lives as a child of the main window: the serial port with its clock and
// the guard that keeps one link command at a time.
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

  void Dea() {
    Run([this] {
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
    });
  }
  void Load() {
    Run([this] {
      if (ws().link == LinkState::Aktivni) link::ReadWorkflow(link_, ws(), sv());
    });
  }
  void Save() {
    Run([this] {
      if (ws().link == LinkState::Aktivni) link::WriteWorkflow(link_, ws(), sv());
    });
  }

  // The exit guard. While a command runs, leaving stops that command
  // (as Storno would) instead of releasing the unit in the middle of it;
  // closing the window then goes on once the command has ended, with its
  // question about releasing the unit.
  bool MayExit(bool allowCancel) {
    if (busy_) {
      ws().CancelRequested = true;
      if (!allowCancel) closeAfterCommand_ = true;
      return false;
    }
    busy_ = true;
    const bool mayExit = link::ConfirmExit(link_, ws(), sv(), allowCancel);
    busy_ = false;
    return mayExit;
  }

 private:
  Workspace& ws() { return window_.workspace(); }
  Services& sv() { return window_.services(); }

  // One link command at a time: the progress window is not modal, so the
  // buttons stay clickable while a command waits for the unit. The file
  // buttons rewrite the image a transfer is using, so they wait too; so do
  // printing and its preview, which would take over the one progress window
  // and its cancel flag (the transfer would lose its Storno, and cancelling
  // the printout would cancel the transfer).
  template <class F>
  void Run(F command) {
    if (busy_ || !window_.flushFieldChecks()) return;
    busy_ = true;
    static constexpr const char* kWaiting[] = {"btFileLoad", "btFileSave", "btTisk", "btNahled"};
    constexpr std::size_t kCount = std::size(kWaiting);
    QPointer<QAbstractButton> waiting[kCount];
    bool wasEnabled[kCount] = {};
    for (std::size_t i = 0; i < kCount; ++i) {
      waiting[i] = window_.findChild<QAbstractButton*>(QString::fromLatin1(kWaiting[i]));
      if (!waiting[i]) continue;
      wasEnabled[i] = waiting[i]->isEnabled();
      waiting[i]->setEnabled(false);
    }
    command();
    for (std::size_t i = 0; i < kCount; ++i) {
      if (waiting[i]) waiting[i]->setEnabled(wasEnabled[i]);
    }
    busy_ = false;
    if (closeAfterCommand_) {
      closeAfterCommand_ = false;
      QTimer::singleShot(0, &window_, [w = QPointer<MainWindow>(&window_)] {
        if (w) w->close();
      });
    }
  }

  MainWindow& window_;
  link::SteadyClock clock_;
  qt::QtSerialPort port_;
  link::Link link_;
  bool busy_ = false;
  bool closeAfterCommand_ = false;
};

LinkWiring* WiringOf(MainWindow& window) {
  return window.findChild<LinkWiring*>(QString::fromLatin1(kWiringName), Qt::FindDirectChildrenOnly);
}

}  // namespace

void AttachLink(MainWindow& window, const std::string& dosDevicesDir) {
  if (WiringOf(window)) return;
  auto* wiring = new LinkWiring(window, dosDevicesDir);
  if (auto* selector = qobject_cast<PortSelector*>(window.tabPort())) selector->setDosDevicesDir(dosDevicesDir);
  if (auto* dea = window.findChild<QAbstractButton*>(QStringLiteral("btDEA"))) {
    dea->setEnabled(true);
    QObject::connect(dea, &QAbstractButton::clicked, wiring, [wiring] { wiring->Dea(); });
  }
  if (auto* load = window.findChild<QAbstractButton*>(QStringLiteral("btEEPROMLoad"))) {
    QObject::connect(load, &QAbstractButton::clicked, wiring, [wiring] { wiring->Load(); });
  }
  if (auto* save = window.findChild<QAbstractButton*>(QStringLiteral("btEEPROMSave"))) {
    QObject::connect(save, &QAbstractButton::clicked, wiring, [wiring] { wiring->Save(); });
  }
  QPointer<LinkWiring> guard(wiring);
  window.setExitGuard([guard](bool allowCancel) { return guard ? guard->MayExit(allowCancel) : true; });
}

link::Link* LinkOf(MainWindow& window) {
  LinkWiring* wiring = WiringOf(window);
  return wiring ? &wiring->link() : nullptr;
}

}  // namespace vexa::ui
