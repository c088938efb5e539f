#include "ui/main_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "texts/texts.h"
#include "qt/progress_window.h"
#include "qt/qt_event_loop.h"
#include "qt/qt_file_dialog.h"
#include "qt/qt_message_box.h"
#include "qt/system_port.h"
#include "ui/about_box.h"
#include "ui/command_runner.h"
#include "ui/field_binding.h"
#include "ui/field_controller.h"
#include "ui/file_wiring.h"
#include "ui/general_tab.h"
#include "ui/info_panel.h"
#include "ui/link_panel.h"
#include "ui/row_editors.h"
#include "ui/settings_panel.h"
#include "ui/sms_tab.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace vexa::ui {

// ---------------------------------------------------------------------------
// Construction and start-up

MainWindow::MainWindow(Workspace& ws, QWidget* parent) : MainWindow(ws, nullptr, parent) {}

MainWindow::MainWindow(Workspace& ws, Services& sv, QWidget* parent) : MainWindow(ws, &sv, parent) {}

MainWindow::MainWindow(Workspace& ws, Services* sv, QWidget* parent) : QMainWindow(parent), ws_(ws) {
  setObjectName(QStringLiteral("Hlavni"));
  setWindowTitle(TitleFor(QString()));
  if (sv == nullptr) {
    ownMessages_ = std::make_unique<qt::QtMessageBox>(this);
    ownProgress_ = std::make_unique<qt::QtProgressWindow>(ws_.CancelRequested, this);
    ownLoop_ = std::make_unique<qt::QtEventLoop>();
    ownFiles_ = std::make_unique<qt::QtFileDialog>(this);
    ownPorts_ = qt::MakeSystemPortList();
    ownServices_.reset(new Services{*ownMessages_, *ownProgress_, *ownLoop_, ownFiles_.get(), this, ownPorts_.get()});
    sv_ = ownServices_.get();
  } else {
    sv_ = sv;
    sv_->view = this;
  }
  fields_ = new FieldController(ws_, *sv_, *this);
  fields_->setObjectName(QStringLiteral("Fields"));
  editors_ = std::make_unique<RowEditors>(ws_, *sv_, this, fields_);
  commandParts_ = std::make_unique<CommandParts>();
  fields_->setHooks({[this](FieldRef f) { OnEdited(f); }, [this](FieldRef f) { FocusField(f); },
                     [this](WindowTab tab) { ShowTab(tab); }});
  // Every command first runs the rules of the fields still waiting; the
  // focus goes back where it was once the command has ended.
  commands_ = new CommandRunner(
      [this] {
        if (!flushFieldChecks()) return false;
        RememberFocus();
        return true;
      },
      this);
  commands_->setObjectName(QStringLiteral("Commands"));
  editsCheck_ = new QTimer(this);
  editsCheck_->setSingleShot(true);
  editsCheck_->setInterval(0);
  connect(editsCheck_, &QTimer::timeout, this, &MainWindow::UpdateTitle);
  BuildWindow();
  files_ = new FileCommands({ws_, *sv_, origin_, *commands_, *settings_->btFileLoad()}, *this);
  files_->showSource = [this](const QString& source) { ShowSource(source); };
  files_->showStatus = [this](const QString& text) { ShowStatus(text); };
  BindWindowCommands(*this);
  StartUp();
}

MainWindow::~MainWindow() {
  if (sv_ != nullptr && sv_->view == this) sv_->view = nullptr;
  // The child widgets outlive this destructor body; focus moving among them
  // while they are torn down must not reach the half-destroyed window.
  fields_->Detach();
}

void MainWindow::StartUp() {
  NoteKept(origin_, ws_);
  // The tables, the analog scales and the computed levels were set up with
  // the workspace; the controls already show the start values.
  ApplyEnabling(Field::EnablePS);
  LinkStateChanged(LinkState::Neaktivni, DeviceInfo{});  // "Neaktivní", every identification label "?", usage
  ApplyEnabling(Field::SwitchReport);
  ApplyEnabling(Field::PowerReport);
  // The not-authorised text starts disabled; its rule runs only when the
  // flag changes value.
  sms_->ApplyEnabling(Field::NotAuthorized, false);
}

AboutBox& MainWindow::aboutBox() {
  if (!about_) about_ = new AboutBox(this);
  return *about_;
}

WindowParts MainWindow::windowParts() {
  return {ws_,        *sv_,       *this,     *commands_, *commandParts_, *files_,
          *settings_, *link_,     *tabList_, *btInformace_, *btKonec_};
}

// ---------------------------------------------------------------------------
// Showing the configuration

void MainWindow::ShowField(FieldRef f) { fields_->Show(f); }
void MainWindow::ShowRow(Family family, int row) { fields_->ShowRow(family, row); }

void MainWindow::ShowAll() {
  fields_->ShowAll();
  UpdateMemoryUsage();
}

void MainWindow::ConfigReplaced() {
  // A file or the unit holds what comes in now.
  NoteKept(origin_, ws_);
  editsCheck_->start();
  // Checks waiting for the previous values are void now.
  fields_->Clear();
  ShowAll();
  ApplyEnabling(Field::EnablePS);
  ApplyEnabling(Field::SwitchReport);
  ApplyEnabling(Field::PowerReport);
  // The not-authorised rule ran above if the decoded flag changed value.
}

void MainWindow::UpdateMemoryUsage() {
  info_->ShowUsage(vexa::UpdateMemoryUsage(ws_.config, device_.MemorySize));
}

void MainWindow::LinkStateChanged(LinkState state, const DeviceInfo& device) {
  device_ = device;
  // A state that leaves the EEPROM buttons as they are keeps what they show.
  if (const std::optional<bool> eeprom = link_->Show(state)) {
    eepromEnabled_ = *eeprom;
  } else if (!commands_->running()) {
    eepromEnabled_ = settings_->btEEPROMLoad()->isEnabled();
  }
  commands_->Refresh();
  info_->ShowDevice(device_);
  UpdateMemoryUsage();
}

void MainWindow::ApplyEnabling(Field flag) {
  const bool on = rules::IsEnabled(flag, ws_.config.general);
  sms_->ApplyEnabling(flag, on);
  general_->ApplyEnabling(flag, on);
}

void MainWindow::ShowTab(WindowTab tab) {
  if (tabList_->currentIndex() != IndexOf(tab)) tabList_->setCurrentIndex(IndexOf(tab));
}

void MainWindow::FocusField(FieldRef field) {
  QWidget* w = fields_->control(field);
  if (w == nullptr) return;
  for (int i = 0; i < tabList_->count(); ++i) {
    if (tabList_->widget(i)->isAncestorOf(w)) {
      if (tabList_->currentIndex() != i) tabList_->setCurrentIndex(i);
      break;
    }
  }
  if (w->isHidden() || !w->isEnabled()) return;
  for (QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
    if (auto* scroll = qobject_cast<QScrollArea*>(p)) {
      scroll->ensureWidgetVisible(w);
      break;
    }
  }
  // After a message box the window may still be waiting to be active again.
  if (!isActiveWindow() && isVisible() && QApplication::activeModalWidget() == nullptr) activateWindow();
  w->setFocus(Qt::OtherFocusReason);
  // Selected whole also when the focus event comes only later, with the
  // window's activation.
  if (QLineEdit* edit = fields_->textEdit(field)) SelectWholeText(edit);
}

// ---------------------------------------------------------------------------
// Field events

bool MainWindow::flushFieldChecks() { return fields_->Flush(); }

void MainWindow::OnEdited(FieldRef f) {
  editsCheck_->start();
  const rules::EditFollowUp next = rules::FollowUpOf(f);
  if (next.enabling) ApplyEnabling(*next.enabling);
  if (next.mirror) ShowField(*next.mirror);
  if (next.usage && !fields_->bulk()) UpdateMemoryUsage();
}

void MainWindow::RunPhoneRowRule(int row) {
  rules::RuleContext ctx{ws_.config, ws_.settings, ws_.validationSuppressed, false, ws_.decimalSeparator};
  fields_->Present(rules::CheckPhoneRow(ctx, row));
}

// ---------------------------------------------------------------------------
// Row actions and buttons

void MainWindow::OpenRow(Family family, int row) {
  RowIndex(row);  // a row outside the table stops the program here
  if (!flushFieldChecks()) return;
  switch (family) {
    case Family::Input: editors_->OpenInputEditor(row); break;
    case Family::Output: editors_->OpenOutputEditor(row); break;
    case Family::Analog: editors_->EditAnalogInput(row); break;
    case Family::Phone: editors_->OpenPhoneEditor(row); break;
    default: return;
  }
  ShowRow(family, row);
  UpdateMemoryUsage();
  editsCheck_->start();
}


void MainWindow::openFile(const QString& path) { files_->Open(path); }

bool MainWindow::hasUnsavedEdits() const { return HasUnsavedEdits(origin_, ws_); }

void MainWindow::RememberFocus() {
  QWidget* focus = QApplication::focusWidget();
  focusBeforeCommand_ = focus != nullptr && isAncestorOf(focus) ? focus : nullptr;
  if (focusBeforeCommand_) commands_->AfterCommand([this] { RestoreFocus(); });
}

// Disabling the command controls and the fields moves the focus on (to
// "Kontrolovat zápis do EEPROM", where one Space would untick it); it goes
// back where it was, or to the tabs when a read or load brought another tab
// forward. A command that put the focus into a field (a failed check) leaves
// it there.
void MainWindow::RestoreFocus() {
  QWidget* before = focusBeforeCommand_;
  focusBeforeCommand_.clear();
  if (before == nullptr || !isVisible() || QApplication::activeModalWidget() != nullptr) return;
  QWidget* now = QApplication::focusWidget();
  if (now == before || (now != nullptr && tabList_->isAncestorOf(now))) return;
  if (before->isVisible() && before->isEnabled()) {
    before->setFocus(Qt::OtherFocusReason);
  } else {
    tabList_->setFocus(Qt::OtherFocusReason);
  }
}

void MainWindow::LockFields(bool locked) {
  // The field the focus was in gets it back afterwards.
  if (locked && locks_ == 0) focusBeforeLock_ = QApplication::focusWidget();
  locks_ += locked ? 1 : -1;
  const bool enabled = locks_ <= 0;
  for (int i = 0; i < tabList_->count(); ++i) {
    QWidget* page = tabList_->widget(i);
    // A scrolled page keeps scrolling; only its contents take no input.
    if (auto* scroll = qobject_cast<QScrollArea*>(page)) page = scroll->widget();
    page->setEnabled(enabled);
  }
  if (enabled && focusBeforeLock_ && focusBeforeLock_->isVisible() && focusBeforeLock_->isEnabled() &&
      QApplication::activeModalWidget() == nullptr) {
    focusBeforeLock_->setFocus(Qt::OtherFocusReason);
  }
  if (enabled) focusBeforeLock_.clear();
}

QString MainWindow::TitleFor(const QString& source, bool modified) {
  const QString program = QString::fromUtf8(texts::kProgramTitle);
  return (modified ? QStringLiteral("*") : QString()) +
         (source.isEmpty() ? program : source + QString::fromUtf8(texts::kTitleSeparator) + program);
}

void MainWindow::setSource(const QString& source) {
  NoteReadFromUnit(origin_, ws_);
  // The open dialog no longer proposes the file the window held before.
  if (sv_->files != nullptr) sv_->files->SetCurrentFile(std::string());
  ShowSource(source);
}

void MainWindow::WrittenToUnit() {
  NoteWrittenToUnit(origin_, ws_);
  UpdateTitle();
}

void MainWindow::WriteFailed() {
  NoteWriteFailed(origin_);
  UpdateTitle();
}

void MainWindow::ShowSource(const QString& source) {
  source_ = source;
  UpdateTitle();
}

void MainWindow::UpdateTitle() {
  editsCheck_->stop();
  setWindowTitle(TitleFor(source_, HasUnsavedEdits(origin_, ws_)));
}

void MainWindow::ShowStatus(const QString& text) { statusBar()->showMessage(text, 15000); }

}  // namespace vexa::ui
