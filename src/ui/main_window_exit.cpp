// Leaving the program: "Ukončit" and closing the window ask about unsaved
// edits and the exit guard; while a command runs they stop it first, and
// stopping a write asks first.
#include <QCloseEvent>
#include <QDialog>
#include <QPointer>

#include "ui/about_box.h"
#include "ui/command_runner.h"
#include "ui/field_controller.h"
#include "ui/file_wiring.h"
#include "ui/main_window.h"
#include "workflows/config_origin.h"
#include "workspace/workspace.h"

namespace vexa::ui {

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
  const bool stop = ConfirmStopWrite(sv_->messages, ws_.writeSending);
  askingStop_ = false;
  return stop;
}

bool MainWindow::StopRunningCommand() {
  if (writing_ && !AskStopWrite()) return false;
  ws_.CancelRequested = true;
  return true;
}

void MainWindow::ShowAbout() {
  if (!flushFieldChecks()) return;
  aboutBox().exec();
}

void MainWindow::Quit() {
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
  commands_->Run([this, &mayLeave] { mayLeave = files_->MayLeaveEdits(); });
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
