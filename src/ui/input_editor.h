// "Vstup": the editor of one logical input, with the two send-at-once flags
// that have no column in the main window.
#pragma once

#include <utility>
#include <vector>

#include "ui/editor_dialog.h"

class QCheckBox;
class QLineEdit;

namespace vexa::ui {

class InputEditor : public EditorDialog {
  Q_OBJECT
 public:
  InputEditor(Workspace& ws, Services& sv, QWidget* parent);

  // Caption "Vstup I<n>"; the five texts, the four check boxes and the two
  // send-at-once flags of the row; then CheckEnabled.
  void Load(int row);
  // Everything Load copied in, back into the row.
  void Store();

  // A send-at-once box is enabled exactly when its event box is ticked and
  // power-save mode is allowed. Values are never changed.
  void CheckEnabled();

 private:
  // Each transition's event box and its send-at-once box.
  std::vector<std::pair<QCheckBox*, QCheckBox*>> crossings_;
};

}  // namespace vexa::ui
