// "Analog": the editor of one analog input, with its comparison levels kept on
// the unit's grid, the consistency test of the levels on "&Ok" and the
// threshold graph that follows every keystroke.
#pragma once

#include <array>
#include <vector>

#include "ui/editor_dialog.h"

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QVBoxLayout;
class QLabel;
class QLineEdit;

namespace vexa::qt {
class GraphView;
class PictureSurface;
}  // namespace vexa::qt

namespace vexa::ui {

class AnalogEditor : public EditorDialog {
  Q_OBJECT
 public:
  AnalogEditor(Workspace& ws, Services& sv, QWidget* parent);

  // Caption "Analogový vstup <label>"; the nineteen fields of the row, the
  // four send-at-once boxes from bits 0-3 of its byte, CheckEnabled and the
  // row's unit beside the four levels.
  void Load(int row);
  // The nineteen fields back; bits 0-3 of the byte from the four boxes
  // (enabled or not), bits 4-7 as they were.
  void Store();

  // Each "odeslat ihned" box is enabled exactly when its event box is ticked
  // and power-save mode is allowed. Values are never changed.
  void CheckEnabled();

  // Draws the graph from the four level texts and the negation, on the scale
  // of the row the dialog holds.
  void GraphMake();

  // The report's use: the graph of `row` drawn from the configuration's level
  // texts while the dialog stays hidden. The row stays set until the next
  // opening.
  const qt::PictureSurface& DrawRowGraph(int row);

  qt::GraphView* graph() const { return graph_; }

 protected:
  bool AcceptCheck() override;
  void showEvent(QShowEvent* event) override;

 private:
  // The level fields are put on the unit's grid here; the other fields run
  // the editor's rules.
  rules::FieldCheck CheckField(FieldRef ref);
  // The panels, made in the order of the field table's editor panels.
  QGroupBox* MakeNamePanel(std::vector<QCheckBox*>& options);
  QGroupBox* MakeLevelsPanel();
  void AddHalf(int h, QGroupBox* limits, QVBoxLayout* limitsLayout, int unitWidth);
  void AddCrossing(int k, int c, QGroupBox* limits, QGridLayout* grid);

  QLineEdit* name_;
  QLineEdit* cl1_;
  QLineEdit* hcl1_;
  QLineEdit* cl2_;
  QLineEdit* hcl2_;
  QCheckBox* neg_;
  // In the order CL1 up, CL1 down, CL2 up, CL2 down.
  std::array<QCheckBox*, 4> events_{};
  std::array<QCheckBox*, 4> atOnce_{};
  std::array<QLabel*, 4> units_{};
  qt::GraphView* graph_;
};

}  // namespace vexa::ui
