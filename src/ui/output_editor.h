// "Vystup": the editor of one logical output. The pulse length is shown for
// output 1 only; the output-function options stay hidden.
#pragma once

#include "ui/editor_dialog.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace vexa::ui {

class OutputEditor : public EditorDialog {
  Q_OBJECT
 public:
  OutputEditor(Workspace& ws, Services& sv, QWidget* parent);

  // Caption "Výstup O<n>"; the seven values of the row; the function options
  // hidden (and left as they are); the pulse line shown for row 0.
  void Load(int row);
  // The seven values back, then the row's function (rows 0 and 1 only).
  void Store();

 private:
  QGroupBox* MakePulsePanel();

  QLabel* pulseCaption_;
  QLineEdit* pulseLength_;
  QLabel* pulseUnit_;
  QRadioButton* fncStandard_;
  QRadioButton* fncModem_;
  QRadioButton* fncPowerSave_;
};

}  // namespace vexa::ui
