#include "ui/row_editors.h"

#include <QObject>

#include "platform/services.h"
#include "rules/rules.h"
#include "ui/analog_editor.h"
#include "ui/input_editor.h"
#include "ui/main_window.h"
#include "ui/output_editor.h"
#include "ui/phone_editor.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

bool ValidRow(int row) { return row >= 0 && row < kRows; }

// The dialogs are children of the main window, so that they stay in front of
// it; should the window go first, it deletes them, and the pointer kept here
// must then let go instead of deleting them a second time.
template <typename Dialog>
Dialog& Ensure(std::unique_ptr<Dialog>& slot, Workspace& ws, Services& sv, QWidget* owner) {
  if (!slot) {
    slot = std::make_unique<Dialog>(ws, sv, owner);
    Dialog* created = slot.get();
    QObject::connect(created, &QObject::destroyed, [&slot, created] {
      if (slot.get() == created) (void)slot.release();
    });
  }
  return *slot;
}

}  // namespace

RowEditors::RowEditors(Workspace& ws, Services& sv, QWidget* owner) : ws_(ws), sv_(sv), owner_(owner) {}

RowEditors::~RowEditors() {
  // Each reset empties its slot before the dialog goes, so the watch above
  // finds nothing to let go.
  analog_.reset();
  output_.reset();
  input_.reset();
  phone_.reset();
}

PhoneEditor& RowEditors::phoneEditor() { return Ensure(phone_, ws_, sv_, owner_); }
InputEditor& RowEditors::inputEditor() { return Ensure(input_, ws_, sv_, owner_); }
OutputEditor& RowEditors::outputEditor() { return Ensure(output_, ws_, sv_, owner_); }
AnalogEditor& RowEditors::analogEditor() { return Ensure(analog_, ws_, sv_, owner_); }

void RowEditors::OpenPhoneEditor(int row) {
  if (!ValidRow(row)) return;
  PhoneEditor& dialog = phoneEditor();
  dialog.Load(row);
  if (dialog.RunModal()) {
    dialog.Store();
    // The table shows the number copied back before the warnings about it.
    if (auto* window = qobject_cast<MainWindow*>(owner_)) window->ShowRow(Family::Phone, row);
  }
  // The phone-row rule runs on the main window's row whichever way the
  // editor was closed.
  rules::RuleContext ctx{ws_.config, ws_.settings, ws_.validationSuppressed, ws_.CancelRequested, ws_.decimalSeparator};
  const rules::FieldCheck check = rules::CheckPhoneRow(ctx, row);
  for (const rules::Message& m : check.messages) sv_.messages.Show(m.icon, m.text);
}

void RowEditors::OpenInputEditor(int row) {
  if (!ValidRow(row)) return;
  InputEditor& dialog = inputEditor();
  dialog.Load(row);
  if (dialog.RunModal()) dialog.Store();
}

void RowEditors::OpenOutputEditor(int row) {
  if (!ValidRow(row)) return;
  OutputEditor& dialog = outputEditor();
  dialog.Load(row);
  if (dialog.RunModal()) dialog.Store();
}

void RowEditors::EditAnalogInput(int row) {
  if (!ValidRow(row)) return;
  AnalogEditor& dialog = analogEditor();
  dialog.Load(row);
  if (dialog.RunModal()) dialog.Store();
}

}  // namespace vexa::ui
