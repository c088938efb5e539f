#include "ui/editor_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "platform/services.h"
#include "workspace/workspace.h"

namespace vexa::ui {

EditorDialog::EditorDialog(Workspace& ws, Services& sv, rules::Variant variant, QWidget* parent)
    : QDialog(parent), ws_(ws), sv_(sv), variant_(variant), scratch_(ws.config) {
  setModal(true);
  // No help button in the title bar; the close box stays.
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

EditorDialog::~EditorDialog() = default;

QLineEdit* EditorDialog::AddText(const char* objectName, Field field, const QString& accessibleName,
                                 const QString& tooltip) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(objectName));
  edit->setAccessibleName(accessibleName);
  if (!tooltip.isEmpty()) edit->setToolTip(tooltip);
  const int limit = InfoOf(field).maxLength;
  edit->setMaxLength(limit > 0 ? limit : 32767);
  edit->installEventFilter(this);
  texts_.push_back({edit, field});
  return edit;
}

QCheckBox* EditorDialog::AddFlag(const char* objectName, Field field, const QString& caption, const QString& tooltip) {
  auto* box = new QCheckBox(caption, this);
  box->setObjectName(QString::fromLatin1(objectName));
  if (!tooltip.isEmpty()) box->setToolTip(tooltip);
  flags_.push_back({box, field});
  return box;
}

QGridLayout* EditorDialog::AddStatesGroup(QGroupBox*& group, const char* onName, Field on, const char* offName,
                                          Field off) {
  group = new QGroupBox(QStringLiteral("Stavy"), this);
  group->setObjectName(QStringLiteral("fraStavy"));
  auto* grid = new QGridLayout(group);
  const struct {
    const char* name;
    Field field;
    QString caption;
  } lines[] = {{onName, on, QStringLiteral("Název stavu zapnuto (1)")},
               {offName, off, QStringLiteral("Název stavu vypnuto (0)")}};
  int row = 0;
  for (const auto& line : lines) {
    auto* label = new QLabel(line.caption + QStringLiteral(":"), group);
    label->setObjectName(QStringLiteral("lbl") + QString::fromLatin1(line.name));
    QLineEdit* edit = AddText(line.name, line.field, line.caption);
    label->setBuddy(edit);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    ++row;
  }
  grid->setColumnStretch(1, 1);
  return grid;
}

QHBoxLayout* EditorDialog::MakeButtons() {
  ok_ = new QPushButton(QStringLiteral("&Ok"), this);
  ok_->setObjectName(QStringLiteral("btOk"));
  ok_->setDefault(true);
  storno_ = new QPushButton(QStringLiteral("&Storno"), this);
  storno_->setObjectName(QStringLiteral("btStorno"));
  storno_->setAutoDefault(false);
  connect(ok_, &QPushButton::clicked, this, &EditorDialog::OnOk);
  connect(storno_, &QPushButton::clicked, this, &EditorDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok_);
  row->addWidget(storno_);
  return row;
}

void EditorDialog::LoadBound(int row) {
  row_ = row;
  scratch_ = ws_.config;
  pending_.clear();
  for (const TextBinding& b : texts_) {
    const std::string* text = TextOf(ws_.config, ws_.settings, {b.field, row});
    const QString value = text ? QString::fromStdString(*text) : QString();
    // The typing limit must not cut a longer text that came from a unit or a
    // file: it would be lost on "&Ok" without the user having touched it.
    const int limit = InfoOf(b.field).maxLength > 0 ? InfoOf(b.field).maxLength : 32767;
    b.edit->setMaxLength(std::max<int>(limit, static_cast<int>(value.size())));
    b.edit->setText(value);
    // A text longer than its field is read from its beginning.
    b.edit->setCursorPosition(0);
  }
  for (const FlagBinding& b : flags_) {
    const bool* flag = FlagOf(ws_.config, ws_.settings, {b.field, row});
    b.box->setChecked(flag != nullptr && *flag);
  }
}

void EditorDialog::StoreBound() {
  for (const TextBinding& b : texts_) {
    if (std::string* text = TextOf(ws_.config, ws_.settings, {b.field, row_})) *text = b.edit->text().toStdString();
  }
  for (const FlagBinding& b : flags_) {
    if (bool* flag = FlagOf(ws_.config, ws_.settings, {b.field, row_})) *flag = b.box->isChecked();
  }
}

void EditorDialog::SyncToScratch() {
  for (const TextBinding& b : texts_) {
    if (std::string* text = TextOf(scratch_, ws_.settings, {b.field, row_})) *text = b.edit->text().toStdString();
  }
  for (const FlagBinding& b : flags_) {
    if (bool* flag = FlagOf(scratch_, ws_.settings, {b.field, row_})) *flag = b.box->isChecked();
  }
}

void EditorDialog::ShowField(FieldRef ref) {
  if (ref.row != row_) return;
  for (const TextBinding& b : texts_) {
    if (b.field != ref.field) continue;
    if (const std::string* text = TextOf(scratch_, ws_.settings, ref)) {
      const QString value = QString::fromStdString(*text);
      if (b.edit->text() != value) {
        b.edit->setText(value);
        if (!b.edit->hasFocus()) b.edit->setCursorPosition(0);
      }
    }
  }
  for (const FlagBinding& b : flags_) {
    if (b.field != ref.field) continue;
    if (const bool* flag = FlagOf(scratch_, ws_.settings, ref)) b.box->setChecked(*flag);
  }
}

rules::FieldCheck EditorDialog::CheckText(QLineEdit* /*edit*/, FieldRef ref) {
  rules::RuleContext ctx{scratch_, ws_.settings, ws_.validationSuppressed, ws_.CancelRequested, ws_.decimalSeparator};
  return rules::CheckField(ctx, ref, variant_);
}

bool EditorDialog::LeaveField(QLineEdit* edit) {
  const TextBinding* binding = BindingOf(edit);
  if (binding == nullptr) return true;
  const FieldRef ref{binding->field, row_};
  SyncToScratch();
  const rules::FieldCheck check = CheckText(edit, ref);
  for (const FieldRef& changed : check.changed) ShowField(changed);
  for (const rules::Message& m : check.messages) sv_.messages.Show(m.icon, m.text);
  if (check.failed) {
    FocusBack(edit);
    return false;
  }
  return true;
}

void EditorDialog::FocusBack(QWidget* w) {
  refocusing_ = true;
  w->setFocus(Qt::OtherFocusReason);
  refocusing_ = false;
}

const EditorDialog::TextBinding* EditorDialog::BindingOf(const QObject* o) const {
  for (const TextBinding& b : texts_) {
    if (b.edit == o) return &b;
  }
  return nullptr;
}

bool EditorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && BindingOf(edit)) {
      // Caret at the start, the whole text selected, so typing replaces it.
      // Done after the event, or the click that brought the focus would
      // place the caret again.
      QPointer<QLineEdit> guard(edit);
      QTimer::singleShot(0, edit, [guard] {
        if (guard && guard->hasFocus()) {
          const int n = static_cast<int>(guard->text().size());
          guard->setSelection(n, -n);
        }
      });
    }
  } else if (event->type() == QEvent::FocusOut) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    // Switching to another window (a message box among them) is not leaving
    // the field; neither is our own move of the focus back to a failed field.
    // A move onto "&Storno" is the user cancelling: the dialog closes
    // whatever the fields hold.
    if (edit && BindingOf(edit) && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
        !refocusing_ && isVisible() && QApplication::focusWidget() != storno_) {
      pending_.emplace_back(edit);
      QTimer::singleShot(0, this, [this] { FlushPending(); });
    }
  }
  return QDialog::eventFilter(watched, event);
}

bool EditorDialog::FlushPending() {
  while (!pending_.empty()) {
    QPointer<QLineEdit> edit = pending_.front();
    pending_.erase(pending_.begin());
    if (!isVisible() || ws_.CancelRequested) {
      pending_.clear();
      return true;
    }
    if (edit && !LeaveField(edit)) {
      pending_.clear();
      return false;
    }
  }
  return true;
}

void EditorDialog::OnOk() {
  if (!FlushPending()) return;
  // Enter or the shortcut press "&Ok" without the field losing the focus.
  if (auto* focused = qobject_cast<QLineEdit*>(QApplication::focusWidget()); focused && BindingOf(focused)) {
    if (!LeaveField(focused)) return;
  }
  if (!AcceptCheck()) return;
  ws_.CancelRequested = false;
  accept();
}

void EditorDialog::reject() {
  ws_.CancelRequested = true;
  pending_.clear();
  QDialog::reject();
}

void EditorDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!texts_.empty()) texts_.front().edit->setFocus(Qt::OtherFocusReason);
}

bool EditorDialog::RunModal() {
  ws_.CancelRequested = false;
  // Closed any other way than by "&Ok" counts as cancelled.
  if (exec() != QDialog::Accepted) ws_.CancelRequested = true;
  return !ws_.CancelRequested;
}

}  // namespace vexa::ui
