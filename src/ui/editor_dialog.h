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
#include <initializer_list>
#include <utility>
#include <vector>

#include "rules/rules.h"
#include "ui/field_controller.h"
#include "model/device_config.h"
#include "model/fields.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QHBoxLayout;
class QLabel;

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
  // A text field of the row, named as its field and worded from the field's
  // row of the table (its caption as its accessible name, its tooltip).
  QLineEdit* AddText(Field field);
  // A check box of the row, captioned from the table; named as its field
  // unless `objectName` is given.
  QCheckBox* AddFlag(Field field, const char* objectName = nullptr);
  // A text field with its caption (named "lbl" and the field's name, made a
  // child of `labelParent`) before it.
  std::pair<QLabel*, QLineEdit*> AddCaptioned(Field field, QWidget* labelParent);
  // The name row: the caption of `field` and its text, which takes the width.
  QHBoxLayout* AddNameRow(Field field);
  // A panel "fraStavy" titled `title` with the fields of the family's
  // states panel in the field table: one captioned text per state name, a
  // line each, and below them its check boxes.
  QGroupBox* AddStatesGroup(const QString& title, Family family);
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
