#include "ui/phone_editor.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vexa::ui {

PhoneEditor::PhoneEditor(Workspace& ws, Services& sv, QWidget* parent)
    : EditorDialog(ws, sv, rules::Variant::PhoneEditor, parent) {
  setObjectName(QStringLiteral("TelCislo"));

  auto* label = new QLabel(QStringLiteral("Telefonní číslo:"), this);
  label->setObjectName(QStringLiteral("lblTC"));
  tc_ = AddText("TC", Field::TC, QStringLiteral("Telefonní číslo"), QStringLiteral("Telefonní číslo"));
  label->setBuddy(tc_);
  tc_->setMinimumWidth(220);
  prijem_ = AddFlag("TCPrijem", Field::TCPrijem, QStringLiteral("Přijímat příkazy"),
                    QStringLiteral("Přijímat příkazy z tohoto tel. čísla"));
  udalost_ = AddFlag("TCUdalost", Field::TCUdalost, QStringLiteral("Odesílat zprávy o událostech"),
                     QStringLiteral("Odesílat zprávy o událostech na toto tel. číslo"));

  auto* number = new QHBoxLayout;
  number->addWidget(label);
  number->addWidget(tc_, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(number);
  layout->addWidget(prijem_);
  layout->addWidget(udalost_);
  layout->addSpacing(6);
  layout->addLayout(MakeButtons());
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PhoneEditor::Load(int row) {
  setWindowTitle(QStringLiteral("Telefonní číslo ") + QString::fromStdString(RowLabel(Family::Phone, row)));
  LoadBound(row);
}

void PhoneEditor::Store() { StoreBound(); }

}  // namespace vexa::ui
