#include "ui/editor_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "platform/services.h"
#include "texts/texts_window.h"
#include "ui/captions.h"
#include "workspace/workspace.h"

namespace vexa::ui {

EditorDialog::EditorDialog(Workspace& ws, Services& sv, rules::Variant variant, QWidget* parent)
    : QDialog(parent),
      ws_(ws),
      sv_(sv),
      scratch_(ws.config),
      fields_(new FieldController(ws, sv, *this, scratch_, variant)) {
  setModal(true);
  // No help button in the title bar; the close box stays.
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

EditorDialog::~EditorDialog() {
  // The scratch copy goes before the child widgets: focus moving among them
  // while they are torn down must not reach it.
  fields_->Detach();
}

QLineEdit* EditorDialog::AddText(Field field) {
  QLineEdit* edit =
      fields_->MakeEdit({field, 0}, QString::fromLatin1(InfoOf(field).name), CaptionOf(field), EditorTip(field));
  edit->setParent(this);
  bound_.push_back(field);
  if (first_ == nullptr) first_ = edit;
  return edit;
}

QCheckBox* EditorDialog::AddFlag(Field field, const char* objectName) {
  const QString name = QString::fromLatin1(objectName != nullptr ? objectName : InfoOf(field).name);
  QCheckBox* box = fields_->MakeCheck({field, 0}, name, CaptionOf(field), EditorTip(field));
  box->setParent(this);
  bound_.push_back(field);
  return box;
}

std::pair<QLabel*, QLineEdit*> EditorDialog::AddCaptioned(Field field, QWidget* labelParent) {
  auto* label = new QLabel(LabelOf(field), labelParent);
  label->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(InfoOf(field).name));
  QLineEdit* edit = AddText(field);
  label->setBuddy(edit);
  return {label, edit};
}

QHBoxLayout* EditorDialog::AddNameRow(Field field) {
  const auto [label, edit] = AddCaptioned(field, this);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(edit, 1);
  return row;
}

QGroupBox* EditorDialog::AddStatesGroup(const QString& title, Family family) {
  auto* group = new QGroupBox(title, this);
  group->setObjectName(QStringLiteral("fraStavy"));
  auto* lines = new QGridLayout(group);
  int row = 0;
  for (const Field f : EditorFields(family, EditorPanel::States)) {
    if (InfoOf(f).kind == FieldKind::Flag) {
      lines->addWidget(AddFlag(f), row++, 0, 1, 2);
      continue;
    }
    const auto [label, edit] = AddCaptioned(f, group);
    lines->addWidget(label, row, 0);
    lines->addWidget(edit, row, 1);
    ++row;
  }
  lines->setColumnStretch(1, 1);
  return group;
}

QHBoxLayout* EditorDialog::MakeButtons() {
  ok_ = new QPushButton(Words(texts::kEditorOk), this);
  ok_->setObjectName(QStringLiteral("btOk"));
  ok_->setDefault(true);
  storno_ = new QPushButton(Words(texts::kButtonStorno), this);
  storno_->setObjectName(QStringLiteral("btStorno"));
  storno_->setAutoDefault(false);
  connect(ok_, &QPushButton::clicked, this, &EditorDialog::OnOk);
  connect(storno_, &QPushButton::clicked, this, &EditorDialog::reject);
  fields_->IgnoreFocusTo(storno_);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok_);
  row->addWidget(storno_);
  return row;
}

void EditorDialog::LoadBound(int row) {
  RowIndex(row);  // a row outside the table stops the program here
  row_ = row;
  scratch_ = ws_.config;
  fields_->Clear();
  fields_->SetRow(row);
  fields_->ShowAll();
}

void EditorDialog::StoreBound() {
  for (const Field field : bound_) {
    const FieldRef ref{field, row_};
    if (std::string* text = TextOf(ws_.config, ws_.settings, ref)) {
      if (const std::string* typed = TextOf(scratch_, ws_.settings, ref)) *text = *typed;
    } else if (bool* flag = FlagOf(ws_.config, ws_.settings, ref)) {
      if (const bool* ticked = FlagOf(scratch_, ws_.settings, ref)) *flag = *ticked;
    }
  }
}

void EditorDialog::OnOk() {
  if (!fields_->Flush()) return;
  // Enter or the shortcut press "&Ok" without the field losing the focus.
  if (!fields_->CheckFocused()) return;
  if (!AcceptCheck()) return;
  ws_.CancelRequested = false;
  accept();
}

void EditorDialog::reject() {
  ws_.CancelRequested = true;
  fields_->Clear();
  QDialog::reject();
}

void EditorDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (first_ != nullptr) fields_->FocusBack(first_);
}

bool EditorDialog::RunModal() {
  ws_.CancelRequested = false;
  // Closed any other way than by "&Ok" counts as cancelled.
  if (exec() != QDialog::Accepted) ws_.CancelRequested = true;
  return !ws_.CancelRequested;
}

}  // namespace vexa::ui
