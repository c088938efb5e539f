#include "ui/output_editor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/field_controller.h"
#include "workspace/workspace.h"

namespace vexa::ui {

OutputEditor::OutputEditor(Workspace& ws, Services& sv, QWidget* parent)
    : EditorDialog(ws, sv, rules::Variant::OutputEditor, parent) {
  setObjectName(QStringLiteral("Vystup"));

  auto* nameLabel = new QLabel(QStringLiteral("Název:"), this);
  nameLabel->setObjectName(QStringLiteral("lblOUTNazev"));
  QLineEdit* name = AddText("OUTNazev", Field::OUTNazev, QStringLiteral("Název"));
  nameLabel->setBuddy(name);

  QGroupBox* states = nullptr;
  QGridLayout* statesGrid = AddStatesGroup(states, "OUTZap", Field::OUTZap, "OUTVyp", Field::OUTVyp);
  QCheckBox* neg = AddFlag("OUTNeg", Field::OUTNeg, QStringLiteral("Negace výstupu"));
  statesGrid->addWidget(neg, 2, 0, 1, 2);

  auto* pulse = new QGroupBox(QStringLiteral("Impuls"), this);
  pulse->setObjectName(QStringLiteral("fraImpuls"));
  auto* commandLabel = new QLabel(QStringLiteral("Příkaz pro vyslání impulsu:"), pulse);
  commandLabel->setObjectName(QStringLiteral("lblOUTimpuls"));
  QLineEdit* command = AddText("OUTimpuls", Field::OUTimpuls, QStringLiteral("Příkaz pro vyslání impulsu"));
  commandLabel->setBuddy(command);
  pulseCaption_ = new QLabel(QStringLiteral("Délka jednoho impulsu ...................."), pulse);
  pulseCaption_->setObjectName(QStringLiteral("lblOUTimpulsLEN"));
  pulseLength_ = AddText("OUTimpulsLEN", Field::OUTimpulsLEN, QStringLiteral("Délka jednoho impulsu v sekundách"));
  pulseLength_->setAlignment(Qt::AlignRight);
  pulseLength_->setFixedWidth(pulseLength_->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
  pulseCaption_->setBuddy(pulseLength_);
  pulseUnit_ = new QLabel(QStringLiteral("sekund"), pulse);
  pulseUnit_->setObjectName(QStringLiteral("lblSekund"));
  auto* pulseGrid = new QGridLayout(pulse);
  pulseGrid->addWidget(commandLabel, 0, 0);
  pulseGrid->addWidget(command, 0, 1, 1, 3);
  pulseGrid->addWidget(pulseCaption_, 1, 0);
  pulseGrid->addWidget(pulseLength_, 1, 1);
  pulseGrid->addWidget(pulseUnit_, 1, 2);
  pulseGrid->setColumnStretch(3, 1);

  QCheckBox* zpr = AddFlag("OUTZpr", Field::OUTZpr, QStringLiteral("Uvádět tento vstup ve zprávě o stavu"));

  // What drives the output. The options are never shown in this edition
  // and nothing selects them, so "Standartní výstup" stays selected and
  // "&Ok" on output 1 or 2 makes that output a standard one again.
  fncStandard_ = new QRadioButton(QStringLiteral("Standartní výstup"), this);
  fncStandard_->setObjectName(QStringLiteral("eeMaskDOutFnc1"));
  fncModem_ = new QRadioButton(QStringLiteral("Indikace stavu modemu"), this);
  fncModem_->setObjectName(QStringLiteral("eeMaskDOutFnc2"));
  fncPowerSave_ = new QRadioButton(QStringLiteral("Indikace stavu šetřícího režimu"), this);
  fncPowerSave_->setObjectName(QStringLiteral("eeMaskDOutFnc3"));
  auto* group = new QButtonGroup(this);
  group->addButton(fncStandard_);
  group->addButton(fncModem_);
  group->addButton(fncPowerSave_);
  fncStandard_->setChecked(true);

  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(nameLabel);
  nameRow->addWidget(name, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(nameRow);
  layout->addWidget(states);
  layout->addWidget(pulse);
  layout->addWidget(zpr);
  layout->addWidget(fncStandard_);
  layout->addWidget(fncModem_);
  layout->addWidget(fncPowerSave_);
  layout->addSpacing(6);
  layout->addLayout(MakeButtons());
  layout->setSizeConstraint(QLayout::SetFixedSize);
  name->setMinimumWidth(260);
  for (Field f : {Field::OUTZap, Field::OUTVyp}) fields_->textEdit({f, 0})->setMinimumWidth(200);
  command->setMinimumWidth(200);
}

void OutputEditor::Load(int row) {
  setWindowTitle(QStringLiteral("Výstup ") + QString::fromStdString(RowLabel(Family::Output, row)));
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
