// "TelCislo": the editor of one authorised phone number and its two rights.
#pragma once

#include "ui/editor_dialog.h"

class QCheckBox;
class QLineEdit;

namespace vexa::ui {

class PhoneEditor : public EditorDialog {
  Q_OBJECT
 public:
  PhoneEditor(Workspace& ws, Services& sv, QWidget* parent);

  // Caption "Telefonní číslo T<n>"; TC, TCPrijem and TCUdalost of the row.
  void Load(int row);
  // TC, TCPrijem and TCUdalost back into the row.
  void Store();

  QLineEdit* TC() const { return tc_; }
  QCheckBox* TCPrijem() const { return prijem_; }
  QCheckBox* TCUdalost() const { return udalost_; }

 private:
  QLineEdit* tc_;
  QCheckBox* prijem_;
  QCheckBox* udalost_;
};

}  // namespace vexa::ui
