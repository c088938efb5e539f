#include "ui/field_controller.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>

#include "platform/services.h"
#include "ui/field_binding.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

// Increments a counter for the lifetime of a scope.
class CounterScope {
 public:
  explicit CounterScope(int& c) : c_(c) { ++c_; }
  ~CounterScope() { --c_; }
  CounterScope(const CounterScope&) = delete;
  CounterScope& operator=(const CounterScope&) = delete;

 private:
  int& c_;
};

bool IsRowFamily(Family f) { return f != Family::General && f != Family::Program; }

FieldRef Normal(FieldRef f) {
  if (!IsRowFamily(InfoOf(f.field).family)) f.row = 0;
  return f;
}

}  // namespace

FieldController::FieldController(Workspace& ws, Services& sv, QWidget& owner)
    : QObject(&owner), ws_(ws), sv_(sv), owner_(owner), config_(ws.config) {}

FieldController::FieldController(Workspace& ws, Services& sv, QWidget& owner, DeviceConfig& target,
                                 rules::Variant variant)
    : QObject(&owner), ws_(ws), sv_(sv), owner_(owner), config_(target), variant_(variant), oneRow_(true) {}

FieldRef FieldController::Here(FieldRef f) const {
  if (oneRow_) f.row = row_;
  return f;
}

std::size_t FieldController::Slot(FieldRef f) const {
  const std::size_t row = oneRow_ ? 0 : RowIndex(f.row);
  return static_cast<std::size_t>(f.field) * kRows + row;
}

void FieldController::Register(FieldRef f, QWidget* w) {
  controls_[Slot(f)] = w;
  fieldOf_.insert(w, f);
  if (!oneRow_ && IsRowFamily(InfoOf(f.field).family)) w->setProperty("row", f.row);
}

QLineEdit* FieldController::MakeEdit(FieldRef f, const QString& objectName, const QString& accessibleName,
                                     const QString& tooltip) {
  auto* edit = new FieldEdit;
  edit->setObjectName(objectName);
  edit->setAccessibleName(accessibleName);
  if (!tooltip.isEmpty()) edit->setToolTip(tooltip);
  const int limit = InfoOf(f.field).maxLength;
  if (limit > 0) edit->setMaxLength(limit);
  if (const std::string* s = TextOf(config_, ws_.settings, Here(f))) edit->setText(QString::fromStdString(*s));
  Register(f, edit);
  connect(edit, &QLineEdit::textChanged, this, [this, f](const QString& t) { OnText(f, t); });
  connect(edit, &FieldEdit::focusLeft, this, [this, f](Qt::FocusReason r) { OnLeft(f, r); });
  return edit;
}

QCheckBox* FieldController::MakeCheck(FieldRef f, const QString& objectName, const QString& caption,
                                      const QString& tooltip) {
  auto* box = new QCheckBox(caption);
  box->setObjectName(objectName);
  if (!tooltip.isEmpty()) box->setToolTip(tooltip);
  if (caption.isEmpty()) box->setAccessibleName(tooltip);
  if (const bool* b = FlagOf(config_, ws_.settings, Here(f))) box->setChecked(*b);
  Register(f, box);
  connect(box, &QCheckBox::toggled, this, [this, f](bool on) { OnFlag(f, on); });
  return box;
}

void FieldController::BindCombo(FieldRef f, FieldCombo* combo) {
  if (const std::string* s = TextOf(config_, ws_.settings, Here(f))) combo->setEditText(QString::fromStdString(*s));
  Register(f, combo);
  fieldOf_.insert(combo->lineEdit(), f);
  connect(combo, &QComboBox::editTextChanged, this, [this, f](const QString& t) { OnText(f, t); });
  connect(combo, &FieldCombo::focusLeft, this, [this, f](Qt::FocusReason r) { OnLeft(f, r); });
}

void FieldController::BindSelector(FieldRef f, QComboBox* combo) {
  if (const std::string* s = TextOf(config_, ws_.settings, Here(f))) {
    const int i = combo->findText(QString::fromStdString(*s));
    combo->setCurrentIndex(i >= 0 ? i : 0);
  }
  Register(f, combo);
  connect(combo, &QComboBox::currentTextChanged, this, [this, f](const QString& t) { OnText(f, t); });
}

void FieldController::BindOptions(FieldRef f, QRadioButton* on, QRadioButton* off) {
  offOptions_.insert(on, off);
  if (const bool* b = FlagOf(config_, ws_.settings, Here(f))) (*b ? on : off)->setChecked(true);
  Register(f, on);
  connect(on, &QRadioButton::toggled, this, [this, f](bool checked) { OnFlag(f, checked); });
}

void FieldController::Detach() {
  for (QWidget* w : controls_) {
    if (w != nullptr) w->disconnect(this);
  }
}

QWidget* FieldController::control(FieldRef f) const {
  f = Normal(f);
  if (f.row < 0 || f.row >= kRows || (oneRow_ && f.row != row_)) return nullptr;
  return controls_[Slot(f)];
}

QLineEdit* FieldController::textEdit(FieldRef f) const {
  QWidget* w = control(f);
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->lineEdit();
  return qobject_cast<QLineEdit*>(w);
}

const FieldRef* FieldController::fieldOf(const QObject* w) const {
  const auto it = fieldOf_.constFind(w);
  return it == fieldOf_.constEnd() ? nullptr : &*it;
}

// ---------------------------------------------------------------------------
// Showing

void FieldController::Show(FieldRef f) {
  f = Normal(f);
  QWidget* w = control(f);
  if (w == nullptr) return;
  CounterScope showing(showing_);
  if (auto* option = qobject_cast<QRadioButton*>(w)) {
    const bool* b = FlagOf(config_, ws_.settings, Here(f));
    QRadioButton* off = offOptions_.value(option);
    if (b != nullptr && off != nullptr) (*b ? option : off)->setChecked(true);
    return;
  }
  if (auto* box = qobject_cast<QCheckBox*>(w)) {
    if (const bool* b = FlagOf(config_, ws_.settings, Here(f))) box->setChecked(*b);
    return;
  }
  const std::string* s = TextOf(config_, ws_.settings, Here(f));
  if (s == nullptr) return;
  const QString text = QString::fromStdString(*s);
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    if (combo->isEditable()) {
      if (combo->currentText() != text) combo->setEditText(text);
    } else {
      const int i = combo->findText(text);
      if (i >= 0) combo->setCurrentIndex(i);
    }
    return;
  }
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    // A decoded text may be longer than the field lets the user type; it is
    // shown whole, never cut.
    const int limit = InfoOf(f.field).maxLength;
    if (limit > 0) {
      const int wanted = std::max(limit, static_cast<int>(text.size()));
      if (edit->maxLength() != wanted) edit->setMaxLength(wanted);
    }
    if (edit->text() != text) edit->setText(text);
    // A text longer than its cell is read from its beginning, not its end
    // (where a new text or a new limit leaves the cursor).
    if (!edit->hasFocus()) edit->setCursorPosition(0);
  }
}

void FieldController::ShowRow(Family family, int row) {
  for (int i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    if (InfoOf(f).family == family) Show({f, row});
  }
}

void FieldController::ShowAll() {
  const bool wasBulk = bulk_;
  bulk_ = true;
  for (int i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    if (oneRow_) {
      Show({f, row_});
    } else if (IsRowFamily(InfoOf(f).family)) {
      for (int row = 0; row < kRows; ++row) Show({f, row});
    } else {
      Show({f, 0});
    }
  }
  bulk_ = wasBulk;
}

// ---------------------------------------------------------------------------
// Changes and focus loss

void FieldController::OnText(FieldRef f, const QString& text) {
  f = Here(f);
  if (showing_ == 0) {
    if (std::string* s = TextOf(config_, ws_.settings, Here(f))) {
      std::string typed = text.toStdString();
      if (*s != typed) *s = std::move(typed);
    }
  }
  if (hooks_.edited) hooks_.edited(f);
}

void FieldController::OnFlag(FieldRef f, bool on) {
  f = Here(f);
  if (bool* b = FlagOf(config_, ws_.settings, Here(f))) *b = on;
  if (hooks_.edited) hooks_.edited(f);
}

void FieldController::OnLeft(FieldRef f, Qt::FocusReason reason) {
  if (checking_ > 0 || !IsMoveWithinWindow(reason) || !owner_.isVisible()) return;
  // The focus went to a window of its own (a dialog that is not modal).
  QWidget* now = QApplication::focusWidget();
  if (now != nullptr && now->window() != owner_.window()) return;
  // The user is cancelling: the window closes whatever the fields hold.
  if (std::find(ignored_.begin(), ignored_.end(), now) != ignored_.end()) return;
  f = Here(f);
  if (std::find(pending_.begin(), pending_.end(), f) == pending_.end()) pending_.push_back(f);
  if (!queued_) {
    queued_ = true;
    QMetaObject::invokeMethod(this, &FieldController::RunQueued, Qt::QueuedConnection);
  }
}

void FieldController::RunQueued() {
  queued_ = false;
  Flush();
}

bool FieldController::Flush() {
  // Rules already running finish the queue themselves.
  if (checking_ > 0) return true;
  while (!pending_.empty()) {
    // An editor closed or cancelled meanwhile checks nothing more.
    if (oneRow_ && (!owner_.isVisible() || ws_.CancelRequested)) {
      pending_.clear();
      return true;
    }
    const FieldRef f = pending_.front();
    pending_.pop_front();
    if (!RunRules(f)) {
      pending_.clear();
      return false;
    }
  }
  return true;
}

bool FieldController::CheckFocused() {
  const FieldRef* f = fieldOf(QApplication::focusWidget());
  if (f == nullptr || InfoOf(f->field).kind != FieldKind::Text) return true;
  return RunRules(Here(*f));
}

rules::FieldCheck FieldController::StandardCheck(FieldRef f) {
  // The editors' rules are silent once the editor was cancelled.
  rules::RuleContext ctx{config_, ws_.settings, ws_.validationSuppressed, oneRow_ && ws_.CancelRequested,
                         ws_.decimalSeparator};
  return rules::CheckField(ctx, f, variant_);
}

void FieldController::FocusBack(QWidget* w) {
  if (w == nullptr) return;
  CounterScope checking(checking_);
  w->setFocus(Qt::OtherFocusReason);
  if (auto* combo = qobject_cast<QComboBox*>(w)) w = combo->lineEdit();
  if (auto* edit = qobject_cast<QLineEdit*>(w)) SelectWholeText(edit);
}

bool FieldController::RunRules(FieldRef f) {
  CounterScope checking(checking_);
  const rules::FieldCheck check = check_ ? check_(f) : StandardCheck(f);
  // The field the user moved on to, which gives the focus back below.
  const QWidget* movedTo = QApplication::focusWidget();
  Present(check);
  if (check.failed) {
    if (check.tab && hooks_.showTab) hooks_.showTab(*check.tab);
    if (hooks_.focusField) {
      hooks_.focusField(f);
    } else {
      FocusBack(control(f));
    }
    // In the main window, putting the focus back makes the other field lose
    // it: its rules run once, as for any field the user leaves. A cross rule
    // that just reported is silenced by the validation-suppressed flag (and
    // clears it), so the same conflict is not reported twice, and leaving the
    // failing field again reports it again. An editor runs nothing more: the
    // flag stays set, so the user may go over to the other field of the pair
    // and mend the conflict there without being told again.
    const FieldRef* other = oneRow_ ? nullptr : fieldOf(movedTo);
    if (other != nullptr && !(Here(*other) == f) && InfoOf(other->field).kind == FieldKind::Text &&
        QApplication::focusWidget() != movedTo) {
      const FieldRef o = Here(*other);
      Present(check_ ? check_(o) : StandardCheck(o));
    }
  }
  return !check.failed;
}

void FieldController::Present(const rules::FieldCheck& check) {
  // Paired messages and changes (the phone-row warnings) come in turn: each
  // warning, then the check box it clears.
  const bool paired = check.messages.size() == check.changed.size();
  for (std::size_t i = 0; i < check.messages.size(); ++i) {
    sv_.messages.Show(check.messages[i].icon, check.messages[i].text);
    if (paired) Show(check.changed[i]);
  }
  for (const FieldRef& c : check.changed) Show(c);
}

}  // namespace vexa::ui
