#include "ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "workflows/file_workflows.h"
#include "qt/progress_window.h"
#include "qt/qt_event_loop.h"
#include "qt/qt_file_dialog.h"
#include "qt/qt_message_box.h"
#include "qt/qt_port_list.h"
#include "ui/about_box.h"
#include "ui/command_runner.h"
#include "ui/field_binding.h"
#include "ui/field_controller.h"
#include "ui/general_tab.h"
#include "ui/info_panel.h"
#include "ui/link_panel.h"
#include "ui/row_editors.h"
#include "ui/row_tables.h"
#include "ui/settings_panel.h"
#include "ui/sms_tab.h"
#include "ui/wrap_layout.h"
#include "ui/file_drop.h"
#include "ui/port_selector.h"
#include "ui/window_commands.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"
#include "platform/texts.h"

namespace vexa::ui {
namespace {

QString FileNameOf(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).fileName();
}

// A page in a scroll area that lies on the tab's own background.
QScrollArea* Scrolled(QWidget* page) {
  auto* area = new QScrollArea;
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setWidget(page);
  area->viewport()->setAutoFillBackground(false);
  page->setAutoFillBackground(false);
  return area;
}

}  // namespace

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
    ownPorts_ = std::make_unique<qt::QtPortList>();
    ownServices_.reset(new Services{*ownMessages_, *ownProgress_, *ownLoop_, ownFiles_.get(), this, ownPorts_.get()});
    sv_ = ownServices_.get();
  } else {
    sv_ = sv;
    sv_->view = this;
  }
  fields_ = new FieldController(ws_, *sv_, *this);
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
  editsCheck_ = new QTimer(this);
  editsCheck_->setSingleShot(true);
  editsCheck_->setInterval(0);
  connect(editsCheck_, &QTimer::timeout, this, &MainWindow::UpdateTitle);
  BuildWindow();
  BindWindowCommands(*this);
  setAcceptDrops(true);  // a .eep file dropped on the window is loaded
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
  CheckEnabled();
  LinkStateChanged();  // "Neaktivní", every identification label "?", usage
  ApplySwitchReportRule();
  ApplyPowerReportRule();
  // The not-authorised text starts disabled; its rule runs only when the
  // flag changes value.
  sms_->ApplyNotAuthorizedRule(false);
}

AboutBox& MainWindow::aboutBox() {
  if (!about_) about_ = new AboutBox(this);
  return *about_;
}

// ---------------------------------------------------------------------------
// The window's parts

void MainWindow::BuildWindow() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("Plocha"));
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(8);

  tabList_ = new QTabWidget(central);
  tabList_->setObjectName(QStringLiteral("TabList"));
  general_ = new GeneralTab(*fields_, ws_);
  sms_ = new SmsTab(*fields_);
  auto* phones = new PhoneTab(*fields_);
  // The tall pages scroll rather than make the window taller than a small
  // screen.
  tabList_->addTab(Scrolled(general_), TabTitle(Tab::Vseobecne));
  tabList_->addTab(Scrolled(sms_), TabTitle(Tab::SmsZpravy));
  AddRowTab(new RowTable(*fields_, RowTable::Inputs()), TabTitle(Tab::DigVstupy));
  AddRowTab(new RowTable(*fields_, RowTable::Outputs()), TabTitle(Tab::DigVystupy));
  AddRowTab(new RowTable(*fields_, RowTable::Analogs(0, 3)), TabTitle(Tab::Analog14));
  AddRowTab(new RowTable(*fields_, RowTable::Analogs(4, kRows - 1)), TabTitle(Tab::Analog58));
  AddRowTab(phones, TabTitle(Tab::TelCisla));
  connect(phones->table(), &RowTable::phoneRowClicked, this, &MainWindow::RunPhoneRowRule);
  for (int i = 0; i < tabList_->count(); ++i) {
    tabList_->widget(i)->setObjectName(QStringLiteral("TabList_%1").arg(i));
  }
  connect(tabList_, &QTabWidget::currentChanged, this, [this](int index) {
    QWidget* page = tabList_->widget(index);
    if (auto* edit = qobject_cast<FieldEdit*>(QApplication::focusWidget()); edit != nullptr && page->isAncestorOf(edit)) {
      edit->SelectWholeTextOnFirstClick();
    }
  });

  // The panels wrap into a second line when the window is narrow.
  auto* panels = new QWidget;
  auto* pl = new WrapLayout(panels);
  link_ = new LinkPanel(*fields_, sv_->ports);
  // The status line says which device the selected port opens.
  auto* portNote = new QLabel(link_->tabPort()->deviceNote());
  portNote->setObjectName(QStringLiteral("lblPortDevice"));
  statusBar()->addWidget(portNote);
  connect(link_->tabPort(), &PortSelector::deviceNoteChanged, portNote, &QLabel::setText);
  settings_ = new SettingsPanel(*fields_);
  info_ = new InfoPanel;
  pl->addWidget(BuildProgramPanel());
  pl->addWidget(link_);
  pl->addWidget(settings_);
  pl->addStretchedWidget(info_);

  layout->addWidget(tabList_, 1);
  layout->addWidget(panels);
  setCentralWidget(central);
  // The default size, within the screen when the screen is smaller.
  QSize size(1280, 720);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableGeometry().size() * 0.95);
  }
  resize(size.expandedTo(minimumSizeHint()));
}

void MainWindow::AddRowTab(QWidget* page, const QString& title) {
  tabList_->addTab(page, title);
  auto* table = qobject_cast<RowTable*>(page);
  if (table == nullptr) {
    if (auto* phones = qobject_cast<PhoneTab*>(page)) table = phones->table();
  }
  if (table != nullptr) {
    connect(table, &RowTable::rowOpened, this, [this, table](int row) { OpenRow(table->family(), row); });
  }
}

// "Program": the about box and leaving the program.
QWidget* MainWindow::BuildProgramPanel() {
  auto* program = new QGroupBox(QString::fromUtf8(texts::kPanelProgram));
  program->setObjectName(QStringLiteral("frProgram"));
  auto* pl = new QVBoxLayout(program);
  btInformace_ = new QPushButton(QString::fromUtf8(texts::kProgramInfo));
  btInformace_->setObjectName(QStringLiteral("btInformace"));
  btInformace_->setToolTip(QString::fromUtf8(texts::kProgramInfoTip));
  btKonec_ = new QPushButton(QString::fromUtf8(texts::kProgramQuit));
  btKonec_->setObjectName(QStringLiteral("btKonec"));
  btKonec_->setToolTip(QString::fromUtf8(texts::kProgramQuitTip));
  pl->addWidget(btInformace_);
  pl->addWidget(btKonec_);
  pl->addStretch(1);
  return program;
}

QPushButton* MainWindow::btDEA() const { return link_->btDEA(); }
PortSelector* MainWindow::tabPort() const { return link_->tabPort(); }
QLabel* MainWindow::tabDeAktivNapis() const { return link_->tabDeAktivNapis(); }
QToolButton* MainWindow::btTisk() const { return settings_->btTisk(); }
QToolButton* MainWindow::btNahled() const { return settings_->btNahled(); }
QToolButton* MainWindow::btEEPROMSave() const { return settings_->btEEPROMSave(); }
QToolButton* MainWindow::btEEPROMLoad() const { return settings_->btEEPROMLoad(); }
QToolButton* MainWindow::btFileSave() const { return settings_->btFileSave(); }
QToolButton* MainWindow::btFileLoad() const { return settings_->btFileLoad(); }
QPushButton* MainWindow::btPorovnat() const { return settings_->btPorovnat(); }
QRadioButton* MainWindow::opEnablePS0() const { return general_->opEnablePS0(); }
QRadioButton* MainWindow::opEnablePS1() const { return general_->opEnablePS1(); }
QLabel* MainWindow::lblInfoProdukt() const { return info_->lblInfoProdukt(); }
QLabel* MainWindow::lblInfoVerze() const { return info_->lblInfoVerze(); }
QLabel* MainWindow::lblInfoModem() const { return info_->lblInfoModem(); }
QLabel* MainWindow::lblInfoPamSize() const { return info_->lblInfoPamSize(); }
QLabel* MainWindow::lblInfoVelikost() const { return info_->lblInfoVelikost(); }
QLabel* MainWindow::lblInfoVolno() const { return info_->lblInfoVolno(); }

// ---------------------------------------------------------------------------
// Showing the configuration

QWidget* MainWindow::control(FieldRef f) const { return fields_->control(f); }
QLineEdit* MainWindow::textEdit(FieldRef f) const { return fields_->textEdit(f); }
QCheckBox* MainWindow::checkBox(FieldRef f) const { return qobject_cast<QCheckBox*>(control(f)); }

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
  CheckEnabled();
  ApplySwitchReportRule();
  ApplyPowerReportRule();
  // The not-authorised rule ran above if the decoded flag changed value.
}

void MainWindow::UpdateMemoryUsage() {
  info_->ShowUsage(vexa::UpdateMemoryUsage(ws_.config, ws_.device.MemorySize));
}

void MainWindow::LinkStateChanged() {
  // A state that leaves the EEPROM buttons as they are keeps what they show.
  if (const std::optional<bool> eeprom = link_->Show(ws_.link)) {
    eepromEnabled_ = *eeprom;
  } else if (!commands_->running()) {
    eepromEnabled_ = btEEPROMLoad()->isEnabled();
  }
  commands_->Refresh();
  info_->ShowDevice(ws_.device);
  UpdateMemoryUsage();
}

void MainWindow::CheckEnabled() { general_->CheckEnabled(); }
void MainWindow::ApplySwitchReportRule() { sms_->ApplySwitchReportRule(ws_.config.general.SwitchReport); }
void MainWindow::ApplyPowerReportRule() { sms_->ApplyPowerReportRule(ws_.config.general.PowerReport); }
void MainWindow::ApplyNotAuthorizedRule() { sms_->ApplyNotAuthorizedRule(ws_.config.general.NotAuthorized); }

void MainWindow::ShowTab(WindowTab tab) {
  if (tabList_->currentIndex() != IndexOf(tab)) tabList_->setCurrentIndex(IndexOf(tab));
}

void MainWindow::FocusField(FieldRef field) {
  QWidget* w = control(field);
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
  if (QLineEdit* edit = textEdit(field)) SelectWholeText(edit);
}

// ---------------------------------------------------------------------------
// Field events

bool MainWindow::flushFieldChecks() { return fields_->Flush(); }
bool MainWindow::hasPendingFieldChecks() const { return fields_->pending(); }

void MainWindow::OnEdited(FieldRef f) {
  editsCheck_->start();
  switch (f.field) {
    case Field::SwitchReport: ApplySwitchReportRule(); return;
    case Field::PowerReport: ApplyPowerReportRule(); return;
    case Field::NotAuthorized: ApplyNotAuthorizedRule(); return;
    case Field::EnablePS: CheckEnabled(); return;
    // The battery text and the CL1-down text of "BAT" are one text shown twice.
    case Field::rtBattLow: ShowField({Field::AINCL1Dn, kBatteryRow}); break;
    case Field::AINCL1Dn:
      if (f.row == kBatteryRow) ShowField({Field::rtBattLow, 0});
      break;
    default: break;
  }
  if (!fields_->bulk() && InfoOf(f.field).kind == FieldKind::Text && InfoOf(f.field).counted) UpdateMemoryUsage();
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

void MainWindow::openInputRow(int row) { OpenRow(Family::Input, row); }
void MainWindow::openOutputRow(int row) { OpenRow(Family::Output, row); }
void MainWindow::openAnalogRow(int row) { OpenRow(Family::Analog, row); }
void MainWindow::openPhoneRow(int row) { OpenRow(Family::Phone, row); }

// A file named on the command line (or dropped on the window) loads through
// the same workflow as "Načíst ze souboru"; refused while a command runs.
void MainWindow::openFile(const QString& path) {
  commands_->Run([this, p = path.toStdString()] { LoadFromFile(&p); });
}

void MainWindow::SaveToFile() {
  if (SaveConfigAs(ws_, *sv_, origin_) != FileOutcome::Completed) return;
  ShowSource(FileNameOf(origin_.file));
  ShowStatus(QString::fromStdString(texts::SavedToFileStatus(FileNameOf(origin_.file).toStdString())));
}

void MainWindow::LoadFromFile(const std::string* path) {
  if (!MayLeaveEdits()) return;
  if (OpenConfig(ws_, *sv_, origin_, path) == FileOutcome::Completed) ShowSource(FileNameOf(origin_.file));
}

bool MainWindow::hasUnsavedEdits() const { return HasUnsavedEdits(origin_, ws_); }

bool MainWindow::MayLeaveEdits() {
  const bool mayLeave = vexa::MayLeaveEdits(ws_, *sv_, origin_);
  // Saved on the way: the title names the file.
  if (!origin_.file.empty()) ShowSource(FileNameOf(origin_.file));
  return mayLeave;
}

void MainWindow::RunWrite(const std::function<void()>& write) {
  writing_ = true;
  sv_->progress.SetCancelQuestion([this] { return AskStopWrite(); });
  write();
  sv_->progress.SetCancelQuestion({});
  writing_ = false;
}

bool MainWindow::AskStopWrite() {
  // One question at a time: a second Storno or close while it is up waits.
  if (askingStop_) return false;
  askingStop_ = true;
  const bool stop = ConfirmStopWrite(sv_->messages);
  askingStop_ = false;
  return stop;
}

bool MainWindow::StopRunningCommand() {
  if (writing_ && !AskStopWrite()) return false;
  ws_.CancelRequested = true;
  return true;
}

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
  NoteKept(origin_, ws_);
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

// A dropped file is taken like a click on btFileLoad: not while a command
// runs (the command runner has disabled the button then).
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!commands_->running() && btFileLoad()->isEnabled() && !DroppedConfigFile(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString path = commands_->running() || !btFileLoad()->isEnabled() ? QString() : DroppedConfigFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  // Loaded once the drop has ended: its messages must not hold up the
  // program the file came from.
  QTimer::singleShot(0, this, [this, path] { openFile(path); });
}

void MainWindow::OnInformace() {
  if (!flushFieldChecks()) return;
  aboutBox().exec();
}

void MainWindow::OnKonec() {
  // Leaving the program: the field being left is not checked any more.
  fields_->Clear();
  // "Ukončit" while a command runs stops that command (as its Storno
  // would, a write only when the user agrees); the program goes on.
  if (commands_->running()) {
    StopRunningCommand();
    return;
  }
  if (!MayLeave(true)) return;
  exiting_ = true;
  close();
}

bool MainWindow::MayLeave(bool allowCancel) {
  bool mayLeave = false;
  commands_->Run([this, &mayLeave] { mayLeave = MayLeaveEdits(); });
  return mayLeave && (!exitGuard_ || exitGuard_(allowCancel));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  fields_->Clear();
  // Closing the window while a command runs stops the command first and
  // closes the window once it has ended (the exit guard's question then
  // comes after it).
  if (commands_->running()) {
    event->ignore();
    if (!StopRunningCommand()) return;
    commands_->AfterCommand([w = QPointer<MainWindow>(this)] {
      if (w && w->isVisible()) w->close();
    });
    return;
  }
  if (!exiting_ && !MayLeave(false)) {
    event->ignore();
    return;
  }
  exiting_ = true;
  sv_->progress.Close();
  // The secondary windows go with the main window.
  for (QDialog* d : findChildren<QDialog*>()) {
    if (d->isVisible()) d->hide();
  }
  event->accept();
}

}  // namespace vexa::ui
