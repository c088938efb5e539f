#include "ui/phone_editor.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "texts/texts_window.h"
#include "ui/captions.h"

namespace vexa::ui {

PhoneEditor::PhoneEditor(Workspace& ws, Services& sv, QWidget* parent)
    : EditorDialog(ws, sv, rules::Variant::PhoneEditor, parent) {
  setObjectName(QStringLiteral("TelCislo"));

  QHBoxLayout* number = AddNameRow(Field::TC);
  tc_ = fields_->textEdit({Field::TC, 0});
  tc_->setMinimumWidth(220);
  prijem_ = AddFlag(Field::TCPrijem);
  udalost_ = AddFlag(Field::TCUdalost);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(number);
  layout->addWidget(prijem_);
  layout->addWidget(udalost_);
  layout->addSpacing(6);
  layout->addLayout(MakeButtons());
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PhoneEditor::Load(int row) {
  setWindowTitle(Words(texts::kEditorPhone) + QString::fromStdString(RowLabel(Family::Phone, row)));
  LoadBound(row);
}

void PhoneEditor::Store() { StoreBound(); }

}  // namespace vexa::ui
