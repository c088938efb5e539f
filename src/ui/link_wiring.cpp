#include "ui/link_wiring.h"

#include <QPointer>
#include <optional>

#include "texts/texts.h"
#include "texts/texts_window.h"
#include "qt/system_port.h"
#include "workflows/link_workflows.h"
#include "ui/command_host.h"
#include "ui/command_runner.h"
#include "ui/compare_wiring.h"
#include "ui/port_selector.h"
#include "workflows/unit_workflows.h"
#include "workspace/workspace.h"

namespace vexa::ui {

LinkCommands::LinkCommands(const Parts& parts, const std::string& dosDevicesDir, QObject& parent)
    : QObject(&parent),
      parts_(parts),
      pause_(clock_, this),
      port_(qt::MakeSystemSerialPort(clock_, dosDevicesDir)),
      link_(*port_, clock_) {
  setObjectName(QStringLiteral("LinkWiring"));
  // Every block moved shows on the progress window's bar.
  link_.SetOnProgress([this](long done, long total) { parts_.sv.progress.SetProgress(done, total); });
}

void LinkCommands::Dea() {
  Workspace& ws = parts_.ws;
  // The selector shows the port in use from the moment it is opened until
  // the link is inactive again.
  QPointer<QWidget> selector = &parts_.selector;
  if (selector) selector->setEnabled(false);
  if (link_.state() == LinkState::Neaktivni) {
    ActivateLink(link_, ws, parts_.sv);
  } else {
    DeactivateLink(link_, parts_.sv);
  }
  if (selector) selector->setEnabled(link_.state() == LinkState::Neaktivni);
}

void LinkCommands::Load() {
  Workspace& ws = parts_.ws;
  if (link_.state() != LinkState::Aktivni) return;
  parts_.host.LockFields(true);
  const WorkflowResult result = ReadWorkflow(link_, ws, parts_.sv, {.fullRead = ws.settings.FullRead});
  parts_.host.LockFields(false);
  if (result == WorkflowResult::Completed) {
    // "COM 1", or an adapter's device without its description.
    const QString port = QString::fromStdString(ws.settings.Port).section(QString::fromUtf8(texts::kPortDescriptionSeparator), 0, 0);
    parts_.host.setSource(QString::fromUtf8(texts::kSourceUnit).arg(QString::fromStdString(link_.device().Product), port));
  }
}

void LinkCommands::Save() {
  Workspace& ws = parts_.ws;
  if (link_.state() != LinkState::Aktivni) return;
  WriteOptions options;
  options.backup = ws.settings.Backup;
  options.fullWrite = ws.settings.FullWrite;
  std::optional<WriteBackup> kept;
  parts_.host.LockFields(true);
  const WorkflowResult result = WriteWorkflow(link_, ws, parts_.sv, options, &kept);
  parts_.host.LockFields(false);
  if (result == WorkflowResult::Completed) {
    parts_.host.WrittenToUnit();
  } else if (ws.writeSending) {
    parts_.host.WriteFailed();
  }
  if (kept && kept->changesWanted) parts_.comparing.ShowWriteChanges(*kept);
}

bool LinkCommands::MayExit(bool allowCancel) {
  bool mayExit = false;
  parts_.commands.Run([&] { mayExit = ConfirmExit(link_, parts_.sv, allowCancel); });
  return mayExit;
}

void LinkCommands::ReleaseQuietly() {
  struct Quiet : MessageBox {
    Answer Show(Icon, const std::string&, Buttons buttons) override {
      return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
  } quiet;
  Services services{quiet, parts_.sv.progress, parts_.sv.loop};
  parts_.ws.CancelRequested = false;
  if (link_.state() != LinkState::Neaktivni) DeactivateLink(link_, services);
  port_->Close();
}

}  // namespace vexa::ui
