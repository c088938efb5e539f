#include "ui/input_editor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "workspace/workspace.h"

namespace vexa::ui {

InputEditor::InputEditor(Workspace& ws, Services& sv, QWidget* parent)
    : EditorDialog(ws, sv, rules::Variant::InputEditor, parent) {
  setObjectName(QStringLiteral("Vstup"));

  auto* nameLabel = new QLabel(QStringLiteral("Název:"), this);
  nameLabel->setObjectName(QStringLiteral("lblINPNazev"));
  QLineEdit* name = AddText("INPNazev", Field::INPNazev, QStringLiteral("Název"));
  nameLabel->setBuddy(name);

  QGroupBox* states = nullptr;
  AddStatesGroup(states, "INPZap", Field::INPZap, "INPVyp", Field::INPVyp);

  lhEvent_ = AddFlag("INPLHEvent", Field::INPLHEvent, QStringLiteral("Poslat zprávu při změně stavu 0->1"));
  QLineEdit* lh = AddText("INPLH", Field::INPLH, QStringLiteral("Název přechodu 0->1"));
  lhAlarm_ = AddFlag("eeMaskDInLHAlarm", Field::MaskDInLHAlarm, QStringLiteral("odeslat ihned"));
  hlEvent_ = AddFlag("INPHLEvent", Field::INPHLEvent, QStringLiteral("Poslat zprávu při změně stavu 1->0"));
  QLineEdit* hl = AddText("INPHL", Field::INPHL, QStringLiteral("Název přechodu 1->0"));
  hlAlarm_ = AddFlag("eeMaskDInHLAlarm", Field::MaskDInHLAlarm, QStringLiteral("odeslat ihned"));
  QCheckBox* neg = AddFlag("INPNeg", Field::INPNeg,
                           QStringLiteral("Negace vstupu (neguje se ihned po vzorkování - teprve poté se analyzuje)"));
  QCheckBox* zpr = AddFlag("INPZpr", Field::INPZpr, QStringLiteral("Uvádět tento vstup ve zprávě o stavu"));

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

  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(nameLabel);
  nameRow->addWidget(name, 1);

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
  setWindowTitle(QStringLiteral("Vstup ") + QString::fromStdString(RowLabel(Family::Input, row)));
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
