#include "ui/output_editor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <tuple>
#include <vector>

#include "texts/texts_rules.h"
#include "texts/texts_window.h"
#include "ui/captions.h"
#include "ui/field_controller.h"
#include "workspace/workspace.h"

namespace vexa::ui {

OutputEditor::OutputEditor(Workspace& ws, Services& sv, QWidget* parent)
    : EditorDialog(ws, sv, rules::Variant::OutputEditor, parent) {
  setObjectName(QStringLiteral("Vystup"));

  const Field nameField = EditorFields(Family::Output, EditorPanel::Name).front();
  QHBoxLayout* nameRow = AddNameRow(nameField);
  QLineEdit* name = fields_->textEdit({nameField, 0});
  QGroupBox* states = AddStatesGroup(Words(texts::kPanelStates), Family::Output);

  QGroupBox* pulse = MakePulsePanel();
  std::vector<QCheckBox*> options;
  for (const Field f : EditorFields(Family::Output, EditorPanel::Options)) options.push_back(AddFlag(f));

  // What drives the output. The options are never shown in this edition
  // and nothing selects them, so "Standartní výstup" stays selected and
  // "&Ok" on output 1 or 2 makes that output a standard one again.
  fncStandard_ = new QRadioButton(Words(texts::kOutputStandard), this);
  fncStandard_->setObjectName(QStringLiteral("eeMaskDOutFnc1"));
  fncModem_ = new QRadioButton(Words(texts::kOutputModemState), this);
  fncModem_->setObjectName(QStringLiteral("eeMaskDOutFnc2"));
  fncPowerSave_ = new QRadioButton(Words(texts::kOutputPowerSaveState), this);
  fncPowerSave_->setObjectName(QStringLiteral("eeMaskDOutFnc3"));
  auto* group = new QButtonGroup(this);
  group->addButton(fncStandard_);
  group->addButton(fncModem_);
  group->addButton(fncPowerSave_);
  fncStandard_->setChecked(true);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(nameRow);
  layout->addWidget(states);
  layout->addWidget(pulse);
  for (QCheckBox* option : options) layout->addWidget(option);
  layout->addWidget(fncStandard_);
  layout->addWidget(fncModem_);
  layout->addWidget(fncPowerSave_);
  layout->addSpacing(6);
  layout->addLayout(MakeButtons());
  layout->setSizeConstraint(QLayout::SetFixedSize);
  name->setMinimumWidth(260);
  for (const Field f : EditorFields(Family::Output, EditorPanel::States)) {
    if (QLineEdit* state = fields_->textEdit({f, 0})) state->setMinimumWidth(200);
  }
}

// The pulse: its command, and its length with the unit after it.
QGroupBox* OutputEditor::MakePulsePanel() {
  const std::vector<Field> pulseFields = EditorFields(Family::Output, EditorPanel::Pulse);
  auto* pulse = new QGroupBox(Words(texts::kPulse), this);
  pulse->setObjectName(QStringLiteral("fraImpuls"));
  const auto [commandLabel, command] = AddCaptioned(pulseFields.at(0), pulse);
  std::tie(pulseCaption_, pulseLength_) = AddCaptioned(pulseFields.at(1), pulse);
  pulseLength_->setAlignment(Qt::AlignRight);
  pulseLength_->setFixedWidth(pulseLength_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
  pulseUnit_ = new QLabel(AfterOf(pulseFields.at(1)), pulse);
  pulseUnit_->setObjectName(QStringLiteral("lblSekund"));
  auto* pulseGrid = new QGridLayout(pulse);
  pulseGrid->addWidget(commandLabel, 0, 0);
  pulseGrid->addWidget(command, 0, 1, 1, 3);
  pulseGrid->addWidget(pulseCaption_, 1, 0);
  pulseGrid->addWidget(pulseLength_, 1, 1);
  pulseGrid->addWidget(pulseUnit_, 1, 2);
  pulseGrid->setColumnStretch(3, 1);
  command->setMinimumWidth(200);
  return pulse;
}

void OutputEditor::Load(int row) {
  setWindowTitle(Words(texts::kEditorOutput) + QString::fromStdString(RowLabel(Family::Output, row)));
  LoadBound(row);
  fncStandard_->setVisible(false);
  fncModem_->setVisible(false);
  fncPowerSave_->setVisible(false);
  const bool pulseLine = row == 0;
  pulseCaption_->setVisible(pulseLine);
  pulseLength_->setVisible(pulseLine);
  pulseUnit_->setVisible(pulseLine);
}

void OutputEditor::Store() {
  StoreBound();
  if (row_ == 0) {
    ws_.config.SetMaskDOutFnc(0, fncModem_->isChecked() ? OutputFunction::ModemState : OutputFunction::Standard);
  } else if (row_ == 1) {
    ws_.config.SetMaskDOutFnc(1,
                              fncPowerSave_->isChecked() ? OutputFunction::PowerSaveState : OutputFunction::Standard);
  }
}

}  // namespace vexa::ui
