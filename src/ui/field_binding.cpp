#include "ui/field_binding.h"

#include <QFocusEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

namespace vexa::ui {

void SelectWholeText(QLineEdit* edit) {
  const int length = static_cast<int>(edit->text().size());
  edit->setSelection(length, -length);
}

bool IsMoveWithinWindow(Qt::FocusReason reason) {
  switch (reason) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason: return true;
    default:  // ActiveWindow, Popup, MenuBar, NoFocusReason
      return false;
  }
}

namespace {

// A mouse press that brought the focus places the caret right after the
// focus event; the selection is made again once the press is handled.
void SelectAgainLater(QLineEdit* edit) {
  QPointer<QLineEdit> guard(edit);
  QTimer::singleShot(0, edit, [guard] {
    if (guard && guard->hasFocus()) SelectWholeText(guard);
  });
}

}  // namespace

FieldEdit::FieldEdit(QWidget* parent) : QLineEdit(parent) {}

void FieldEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  SelectWholeText(this);
  if (event->reason() == Qt::MouseFocusReason) SelectAgainLater(this);
}

void FieldEdit::mousePressEvent(QMouseEvent* event) {
  const bool select = selectOnClick_ && hasFocus();
  selectOnClick_ = false;
  QLineEdit::mousePressEvent(event);
  if (select) SelectAgainLater(this);
}

void FieldEdit::keyPressEvent(QKeyEvent* event) {
  selectOnClick_ = false;
  QLineEdit::keyPressEvent(event);
}

void FieldEdit::focusOutEvent(QFocusEvent* event) {
  selectOnClick_ = false;
  QLineEdit::focusOutEvent(event);
  emit focusLeft(event->reason());
}

void FieldEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  // A cell of a table opens its row's editor; other fields select a word.
  if (!isSignalConnected(QMetaMethod::fromSignal(&FieldEdit::doubleClicked))) {
    QLineEdit::mouseDoubleClickEvent(event);
    return;
  }
  event->accept();
  if (isEnabled()) emit doubleClicked();
}

FieldCombo::FieldCombo(QWidget* parent) : QComboBox(parent) {}

void FieldCombo::focusInEvent(QFocusEvent* event) {
  QComboBox::focusInEvent(event);
  if (QLineEdit* edit = lineEdit()) {
    SelectWholeText(edit);
    if (event->reason() == Qt::MouseFocusReason) SelectAgainLater(edit);
  }
}

void FieldCombo::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  emit focusLeft(event->reason());
}

}  // namespace vexa::ui
