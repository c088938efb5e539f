// Text controls of the main window that behave as the program's fields do:
// the whole text is selected when the field gets the focus (the caret at the
// start, so that typing replaces it), and losing the focus is reported with
// its reason, so the window can tell a move to another of its controls from
// a message box or another window taking the focus.
#pragma once

#include <QComboBox>
#include <QLineEdit>

namespace vexa::ui {

// Selects the whole text of `edit` with the caret at its start.
void SelectWholeText(QLineEdit* edit);

// True when losing the focus for `reason` means the user moved on to another
// control of the same window (the rules of the field then run); false when
// a popup, a message box, a dialog or another window took the focus.
bool IsMoveWithinWindow(Qt::FocusReason reason);

class FieldEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit FieldEdit(QWidget* parent = nullptr);

  // The field was handed the focus without the user choosing it (a tab page
  // coming to the front gives it back to its last field): the user's first
  // click into it then selects the whole text, as entering a field does.
  void SelectWholeTextOnFirstClick() { selectOnClick_ = true; }

 signals:
  void focusLeft(Qt::FocusReason reason);
  void doubleClicked();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool selectOnClick_ = false;
};

// An editable combo box (the SMS centre number) with the same behaviour.
class FieldCombo : public QComboBox {
  Q_OBJECT
 public:
  explicit FieldCombo(QWidget* parent = nullptr);

 signals:
  void focusLeft(Qt::FocusReason reason);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace vexa::ui
