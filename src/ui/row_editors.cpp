#include "ui/row_editors.h"

#include <QObject>

#include "platform/services.h"
#include "rules/rules.h"
#include "ui/analog_editor.h"
#include "ui/input_editor.h"
#include "ui/field_controller.h"
#include "ui/output_editor.h"
#include "ui/phone_editor.h"
#include "model/fields.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

// Created on first use as a child of the main window, so that it stays in
// front of it.
template <typename Dialog>
Dialog& Ensure(QPointer<Dialog>& slot, Workspace& ws, Services& sv, QWidget* owner) {
  if (!slot) slot = new Dialog(ws, sv, owner);
  return *slot;
}

}  // namespace

RowEditors::RowEditors(Workspace& ws, Services& sv, QWidget* owner, FieldController* fields)
    : ws_(ws), sv_(sv), owner_(owner), fields_(fields) {}

RowEditors::~RowEditors() {
  if (owner_ != nullptr) return;
  delete analog_.data();
  delete output_.data();
  delete input_.data();
  delete phone_.data();
}

PhoneEditor& RowEditors::phoneEditor() { return Ensure(phone_, ws_, sv_, owner_); }
InputEditor& RowEditors::inputEditor() { return Ensure(input_, ws_, sv_, owner_); }
OutputEditor& RowEditors::outputEditor() { return Ensure(output_, ws_, sv_, owner_); }
AnalogEditor& RowEditors::analogEditor() { return Ensure(analog_, ws_, sv_, owner_); }

void RowEditors::OpenPhoneEditor(int row) {
  RowIndex(row);  // a row outside the table stops the program here
  PhoneEditor& dialog = phoneEditor();
  dialog.Load(row);
  if (dialog.RunModal()) {
    dialog.Store();
    // The table shows the number copied back before the warnings about it.
    if (fields_ != nullptr) fields_->ShowRow(Family::Phone, row);
  }
  // The phone-row rule runs on the main window's row whichever way the
  // editor was closed; the window presents it as its own fields' rules.
  rules::RuleContext ctx{ws_.config, ws_.settings, ws_.validationSuppressed, ws_.CancelRequested, ws_.decimalSeparator};
  const rules::FieldCheck check = rules::CheckPhoneRow(ctx, row);
  if (fields_ != nullptr) {
    fields_->Present(check);
  } else {
    for (const rules::Message& m : check.messages) sv_.messages.Show(m.icon, m.text);
  }
}

void RowEditors::OpenInputEditor(int row) {
  RowIndex(row);  // a row outside the table stops the program here
  InputEditor& dialog = inputEditor();
  dialog.Load(row);
  if (dialog.RunModal()) dialog.Store();
}

void RowEditors::OpenOutputEditor(int row) {
  RowIndex(row);  // a row outside the table stops the program here
  OutputEditor& dialog = outputEditor();
  dialog.Load(row);
  if (dialog.RunModal()) dialog.Store();
}

void RowEditors::EditAnalogInput(int row) {
  RowIndex(row);  // a row outside the table stops the program here
  AnalogEditor& dialog = analogEditor();
  dialog.Load(row);
  if (dialog.RunModal()) dialog.Store();
}

}  // namespace vexa::ui
