#include "ui/input_editor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "texts/texts_window.h"
#include "ui/captions.h"
#include "workspace/workspace.h"

namespace vexa::ui {

InputEditor::InputEditor(Workspace& ws, Services& sv, QWidget* parent)
    : EditorDialog(ws, sv, rules::Variant::InputEditor, parent) {
  setObjectName(QStringLiteral("Vstup"));

  QHBoxLayout* nameRow = AddNameRow(EditorFields(Family::Input, EditorPanel::Name).front());
  QGroupBox* states = AddStatesGroup(Words(texts::kPanelStates), Family::Input);

  // The transition blocks: the event box above, the transition's name and
  // its "odeslat ihned" box (named "ee" and its field) indented below it.
  auto* events = new QGridLayout;
  events->setColumnMinimumWidth(0, 18);
  const std::vector<Field> crossings = EditorFields(Family::Input, EditorPanel::Crossings);
  for (std::size_t k = 0; k + 2 < crossings.size(); k += 3) {
    QCheckBox* event = AddFlag(crossings[k]);
    QLineEdit* text = AddText(crossings[k + 1]);
    const std::string atOnceName = std::string("ee") + InfoOf(crossings[k + 2]).name;
    QCheckBox* atOnce = AddFlag(crossings[k + 2], atOnceName.c_str());
    const int line = static_cast<int>(2 * (k / 3));
    events->addWidget(event, line, 0, 1, 3);
    events->addWidget(text, line + 1, 1);
    events->addWidget(atOnce, line + 1, 2);
    connect(event, &QCheckBox::toggled, this, &InputEditor::CheckEnabled);
    crossings_.push_back({event, atOnce});
  }
  events->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(nameRow);
  layout->addWidget(states);
  layout->addLayout(events);
  for (const Field f : EditorFields(Family::Input, EditorPanel::Options)) layout->addWidget(AddFlag(f));
  layout->addSpacing(6);
  layout->addLayout(MakeButtons());
  setMinimumWidth(480);
}

void InputEditor::Load(int row) {
  setWindowTitle(Words(texts::kEditorInput) + QString::fromStdString(RowLabel(Family::Input, row)));
  LoadBound(row);
  CheckEnabled();
}

void InputEditor::Store() { StoreBound(); }

void InputEditor::CheckEnabled() {
  const bool powerSave = ws_.config.general.EnablePS;
  for (const auto& [event, atOnce] : crossings_) atOnce->setEnabled(event->isChecked() && powerSave);
}

}  // namespace vexa::ui
