#include "ui/input_editor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/texts_window.h"
#include "ui/captions.h"
#include "workspace/workspace.h"

namespace vexa::ui {

InputEditor::InputEditor(Workspace& ws, Services& sv, QWidget* parent)
    : EditorDialog(ws, sv, rules::Variant::InputEditor, parent) {
  setObjectName(QStringLiteral("Vstup"));

  QHBoxLayout* nameRow = AddNameRow(Field::INPNazev);
  QGroupBox* states = AddStatesGroup(Words(texts::kPanelStates), {Field::INPZap, Field::INPVyp});

  lhEvent_ = AddFlag(Field::INPLHEvent);
  QLineEdit* lh = AddText(Field::INPLH);
  lhAlarm_ = AddFlag(Field::MaskDInLHAlarm, "eeMaskDInLHAlarm");
  hlEvent_ = AddFlag(Field::INPHLEvent);
  QLineEdit* hl = AddText(Field::INPHL);
  hlAlarm_ = AddFlag(Field::MaskDInHLAlarm, "eeMaskDInHLAlarm");
  QCheckBox* neg = AddFlag(Field::INPNeg);
  QCheckBox* zpr = AddFlag(Field::INPZpr);

  // The transition blocks: the event box above, the transition's name and
  // its "odeslat ihned" box indented below it.
  auto* events = new QGridLayout;
  events->setColumnMinimumWidth(0, 18);
  events->addWidget(lhEvent_, 0, 0, 1, 3);
  events->addWidget(lh, 1, 1);
  events->addWidget(lhAlarm_, 1, 2);
  events->addWidget(hlEvent_, 2, 0, 1, 3);
  events->addWidget(hl, 3, 1);
  events->addWidget(hlAlarm_, 3, 2);
  events->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(nameRow);
  layout->addWidget(states);
  layout->addLayout(events);
  layout->addWidget(neg);
  layout->addWidget(zpr);
  layout->addSpacing(6);
  layout->addLayout(MakeButtons());
  setMinimumWidth(480);

  connect(lhEvent_, &QCheckBox::toggled, this, &InputEditor::CheckEnabled);
  connect(hlEvent_, &QCheckBox::toggled, this, &InputEditor::CheckEnabled);
}

void InputEditor::Load(int row) {
  setWindowTitle(Words(texts::kEditorInput) + QString::fromStdString(RowLabel(Family::Input, row)));
  LoadBound(row);
  CheckEnabled();
}

void InputEditor::Store() { StoreBound(); }

void InputEditor::CheckEnabled() {
  const bool powerSave = ws_.config.general.EnablePS;
  lhAlarm_->setEnabled(lhEvent_->isChecked() && powerSave);
  hlAlarm_->setEnabled(hlEvent_->isChecked() && powerSave);
}

}  // namespace vexa::ui
