// What the four row editors have in common: fields bound to the configuration
// fields of one row, a scratch copy of the configuration the field rules run
// on, "&Ok" and "&Storno" with the shared cancel flag, whole-text selection on
// focus and the rules on focus loss.
//
// The rules of a field that lost the focus run right after the focus event
// (not inside it), so that a message box never interrupts a click half-way;
// "&Ok" first runs whatever is still waiting, and the rules of the field that
// holds the focus when "&Ok" is pressed by Enter or its shortcut, so nothing
// unchecked is ever copied back.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <vector>

#include "rules/rules.h"
#include "workspace/device_config.h"
#include "workspace/fields.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QHBoxLayout;

namespace vexa {
struct Workspace;
struct Services;
}  // namespace vexa

namespace vexa::ui {

class EditorDialog : public QDialog {
  Q_OBJECT
 public:
  EditorDialog(Workspace& ws, Services& sv, rules::Variant variant, QWidget* parent);
  ~EditorDialog() override;

  // The row the dialog edits (0..7), set by Load.
  int row() const { return row_; }

  // Clears CancelRequested and shows the dialog modally; true when it was
  // closed with "&Ok" (the flag clear afterwards).
  bool RunModal();

  QPushButton* okButton() const { return ok_; }
  QPushButton* stornoButton() const { return storno_; }

  // The rules of a text field as when it loses the focus: the message boxes
  // in turn and the focus back on a failure. False when the field failed.
  bool LeaveField(QLineEdit* edit);

 public slots:
  // "&Storno", Escape and the close box: CancelRequested is set, the dialog
  // hides and nothing is copied back.
  void reject() override;

 protected:
  // A text field of the row: object name, typing limit of the field, the
  // accessible name and an optional tooltip.
  QLineEdit* AddText(const char* objectName, Field field, const QString& accessibleName, const QString& tooltip = {});
  // A check box of the row.
  QCheckBox* AddFlag(const char* objectName, Field field, const QString& caption, const QString& tooltip = {});
  // The group "Stavy" with the names of the states ON (1) and OFF (0) of an
  // input or output; rows 0 and 1 of the returned grid are taken.
  QGridLayout* AddStatesGroup(QGroupBox*& group, const char* onName, Field on, const char* offName, Field off);
  // "&Ok" and "&Storno", right-aligned in a row of their own.
  QHBoxLayout* MakeButtons();

  // Copies the bound fields of `row` from the configuration into the dialog
  // and takes a fresh scratch copy of the configuration.
  void LoadBound(int row);
  // Copies the bound fields back into the configuration's row.
  void StoreBound();
  // The dialog's values into the scratch copy's row, so that rules comparing
  // fields of the row see what is typed.
  void SyncToScratch();
  // Shows a field of the scratch copy again after a rule rewrote it.
  void ShowField(FieldRef ref);

  // The rules of one text field; the base runs the rule engine's variant on
  // the scratch copy.
  virtual rules::FieldCheck CheckText(QLineEdit* edit, FieldRef ref);
  // Last test before "&Ok" closes the dialog; false keeps it open.
  virtual bool AcceptCheck() { return true; }

  // Puts the focus back into a field without running the rules of the field
  // the focus leaves.
  void FocusBack(QWidget* w);

  bool eventFilter(QObject* watched, QEvent* event) override;
  // Every opening starts in the first field.
  void showEvent(QShowEvent* event) override;

  Workspace& ws_;
  Services& sv_;
  rules::Variant variant_;
  int row_ = 0;
  DeviceConfig scratch_;

 private:
  struct TextBinding {
    QLineEdit* edit;
    Field field;
  };
  struct FlagBinding {
    QCheckBox* box;
    Field field;
  };
  const TextBinding* BindingOf(const QObject* o) const;
  void OnOk();
  bool FlushPending();

  QPushButton* ok_ = nullptr;
  QPushButton* storno_ = nullptr;
  std::vector<TextBinding> texts_;
  std::vector<FlagBinding> flags_;
  std::vector<QPointer<QLineEdit>> pending_;
  bool refocusing_ = false;
};

}  // namespace vexa::ui
