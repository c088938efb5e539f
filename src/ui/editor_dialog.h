// What the four row editors have in common: fields bound through a field
// controller to one row of a scratch copy of the configuration, which the
// field rules run on; "&Ok" and "&Storno" with the shared cancel flag.
//
// "&Ok" first runs whatever is still waiting, and the rules of the field that
// holds the focus when "&Ok" is pressed by Enter or its shortcut, so nothing
// unchecked is ever copied back. A move onto "&Storno" checks nothing.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "rules/rules.h"
#include "ui/field_controller.h"
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

  // Takes a fresh scratch copy of the configuration and shows the bound
  // fields of `row` from it.
  void LoadBound(int row);
  // Copies the bound fields of the row back into the configuration.
  void StoreBound();

  // Last test before "&Ok" closes the dialog; false keeps it open.
  virtual bool AcceptCheck() { return true; }

  // Every opening starts in the first field.
  void showEvent(QShowEvent* event) override;

  Workspace& ws_;
  Services& sv_;
  int row_ = 0;
  DeviceConfig scratch_;
  // Binds the fields to the scratch copy's row.
  FieldController* fields_;

 private:
  void OnOk();

  QPushButton* ok_ = nullptr;
  QPushButton* storno_ = nullptr;
  // The bound fields in the order they are copied back.
  std::vector<Field> bound_;
  QLineEdit* first_ = nullptr;
};

}  // namespace vexa::ui
