#include "ui/analog_editor.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>
#include <vector>

#include "platform/services.h"
#include "texts/texts.h"
#include "texts/texts_window.h"
#include "qt/picture_surface.h"
#include "rules/analog_levels.h"
#include "ui/captions.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

// The send-at-once bits of the crossings, in the order CL1 up, CL1 down,
// CL2 up, CL2 down, and the names of their boxes.
constexpr std::array<std::uint8_t, 4> kAtOnceBits = {kBitCL1Up, kBitCL1Down, kBitCL2Up, kBitCL2Down};
constexpr std::array<const char*, 4> kAtOnceNames = {"eeCL1Up", "eeCL1Down", "eeCL2Up", "eeCL2Down"};

// The heading of each half of the panel "Úrovně", one per comparison level.
struct Half {
  const char* title;
  const char* titleName;
  const char* subtitle;
};
constexpr Half kHalves[] = {
    {texts::kLevelCL1, "lblCL1", texts::kLevelCL1Bounds},
    {texts::kLevelCL2, "lblCL2", texts::kLevelCL2Bounds},
};

QLabel* MakeLabel(const QString& text, const char* objectName, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(objectName));
  return label;
}

}  // namespace

AnalogEditor::AnalogEditor(Workspace& ws, Services& sv, QWidget* parent)
    : EditorDialog(ws, sv, rules::Variant::AnalogEditor, parent) {
  setObjectName(QStringLiteral("Analog"));

  // Left: the name and the status-message options, the names of the three
  // states and the graph.
  std::vector<QCheckBox*> options;
  QGroupBox* general = MakeNamePanel(options);
  QGroupBox* stateNames = AddStatesGroup(Words(texts::kPanelStateNames), Family::Analog);
  graph_ = new qt::GraphView(this);
  graph_->setObjectName(QStringLiteral("Graph"));
  graph_->setAccessibleName(Words(texts::kGraphName));
  graph_->setAccessibleDescription(Words(texts::kGraphDescription));

  auto* left = new QVBoxLayout;
  left->addWidget(general);
  left->addWidget(stateNames);
  left->addWidget(graph_, 0, Qt::AlignHCenter);
  left->addStretch(1);

  // Right: the levels, then the buttons.
  auto* right = new QVBoxLayout;
  right->addWidget(MakeLevelsPanel(), 1);
  right->addLayout(MakeButtons());

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 0);
  layout->addLayout(right, 1);

  // The graph follows every keystroke in a level and every click on the
  // negation.
  for (QLineEdit* e : {cl1_, hcl1_, cl2_, hcl2_}) connect(e, &QLineEdit::textChanged, this, &AnalogEditor::GraphMake);
  connect(neg_, &QCheckBox::toggled, this, &AnalogEditor::GraphMake);

  fields_->setCheck([this](FieldRef ref) { return CheckField(ref); });

  // The tab order follows the layout: the left column, then the levels.
  QWidget* previous = name_;
  for (QCheckBox* option : options) {
    setTabOrder(previous, option);
    previous = option;
  }
}

QGroupBox* AnalogEditor::MakeNamePanel(std::vector<QCheckBox*>& options) {
  auto* general = new QGroupBox(this);
  general->setObjectName(QStringLiteral("fraNazev"));
  auto* grid = new QGridLayout(general);
  const std::vector<Field> shown = EditorFields(Family::Analog, EditorPanel::Name);
  QLabel* nameLabel = nullptr;
  std::tie(nameLabel, name_) = AddCaptioned(shown.front(), general);
  grid->addWidget(nameLabel, 0, 0);
  grid->addWidget(name_, 0, 1);
  for (std::size_t i = 1; i < shown.size(); ++i) {
    options.push_back(AddFlag(shown[i]));
    grid->addWidget(options.back(), static_cast<int>(i), 0, 1, 2);
  }
  grid->setColumnStretch(1, 1);
  return general;
}

QGroupBox* AnalogEditor::MakeLevelsPanel() {
  auto* limits = new QGroupBox(Words(texts::kPanelLevels), this);
  limits->setObjectName(QStringLiteral("Meze"));
  auto* limitsLayout = new QVBoxLayout(limits);
  // Room for the widest unit of any row, so the levels stay in place.
  int unitWidth = 0;
  for (const AnalogScale& scale : ws_.scales) {
    unitWidth = std::max(unitWidth, fontMetrics().horizontalAdvance(QString::fromStdString(scale.Unit)) + 4);
  }
  for (int h = 0; h < 2; ++h) {
    if (h == 1) {
      auto* rule = new QFrame(limits);
      rule->setObjectName(QStringLiteral("linMeze"));
      rule->setFrameShape(QFrame::HLine);
      rule->setFrameShadow(QFrame::Sunken);
      limitsLayout->addWidget(rule);
    }
    AddHalf(h, limits, limitsLayout, unitWidth);
  }
  neg_ = AddFlag(EditorFields(Family::Analog, EditorPanel::Options).front());
  limitsLayout->addSpacing(4);
  limitsLayout->addWidget(neg_);
  limitsLayout->addStretch(1);
  return limits;
}

// Half `h` of the levels: its heading, its level and hysteresis with the
// row's unit, and its two crossings, each with its "odeslat ihned" box.
void AnalogEditor::AddHalf(int h, QGroupBox* limits, QVBoxLayout* limitsLayout, int unitWidth) {
  const Half& half = kHalves[h];
  QFont bold = font();
  bold.setBold(true);
  auto* heading = new QHBoxLayout;
  auto* title = MakeLabel(QString::fromUtf8(half.title), half.titleName, limits);
  title->setFont(bold);
  heading->addWidget(title);
  heading->addWidget(new QLabel(QString::fromUtf8(half.subtitle), limits));
  heading->addStretch(1);
  limitsLayout->addLayout(heading);

  // Each level with its hysteresis, in the order of the levels.
  const std::vector<Field> levels = EditorFields(Family::Analog, EditorPanel::Levels);
  const Field levelField = levels.at(2 * static_cast<std::size_t>(h));
  const Field hystField = levels.at(2 * static_cast<std::size_t>(h) + 1);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(6);
  auto* levelLabel = new QLabel(LabelOf(levelField), limits);
  QLineEdit* level = AddText(levelField);
  auto* hystLabel = new QLabel(LabelOf(hystField), limits);
  QLineEdit* hyst = AddText(hystField);
  const int levelWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14;
  for (QLineEdit* e : {level, hyst}) {
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(levelWidth);
  }
  levelLabel->setBuddy(level);
  hystLabel->setBuddy(hyst);
  units_[2 * h] = MakeLabel(QString(), "valSTR", limits);
  units_[2 * h + 1] = MakeLabel(QString(), "valSTR", limits);
  for (QLabel* u : {units_[2 * h], units_[2 * h + 1]}) u->setMinimumWidth(unitWidth);
  grid->addWidget(levelLabel, 0, 0);
  grid->addWidget(level, 0, 1);
  grid->addWidget(units_[2 * h], 0, 2);
  grid->addWidget(hystLabel, 2, 0);
  grid->addWidget(hyst, 2, 1);
  grid->addWidget(units_[2 * h + 1], 2, 2);
  grid->setColumnMinimumWidth(3, 10);
  for (int c = 0; c < 2; ++c) AddCrossing(2 * h + c, c, limits, grid);
  grid->setColumnStretch(4, 1);
  limitsLayout->addLayout(grid);
  (h == 0 ? cl1_ : cl2_) = level;
  (h == 0 ? hcl1_ : hcl2_) = hyst;
}

// Crossing `k` (CL1 up, CL1 down, CL2 up, CL2 down): its event box and text
// from the field table, and its "odeslat ihned" box, at line `c` of its half.
void AnalogEditor::AddCrossing(int k, int c, QGroupBox* limits, QGridLayout* grid) {
  const std::vector<Field> crossings = EditorFields(Family::Analog, EditorPanel::Crossings);
  const Field event = crossings.at(2 * static_cast<std::size_t>(k));
  events_[k] = AddFlag(event);
  QLineEdit* text = AddText(crossings.at(2 * static_cast<std::size_t>(k) + 1));
  text->setMinimumWidth(200);
  atOnce_[k] = new QCheckBox(Words(texts::kSendAtOnce), limits);
  atOnce_[k]->setObjectName(QString::fromLatin1(kAtOnceNames[k]));
  // Four boxes share the caption; a screen reader tells them apart.
  atOnce_[k]->setAccessibleName(CaptionOf(event) + QStringLiteral(": ") + Words(texts::kSendAtOnce));
  grid->addWidget(events_[k], 2 * c, 4, 1, 2);
  grid->addWidget(text, 2 * c + 1, 4);
  grid->addWidget(atOnce_[k], 2 * c + 1, 5);
  connect(events_[k], &QCheckBox::toggled, this, &AnalogEditor::CheckEnabled);
}

void AnalogEditor::Load(int row) {
  setWindowTitle(Words(texts::kEditorAnalog) + QString::fromStdString(RowLabel(Family::Analog, row)));
  LoadBound(row);
  const std::uint8_t f = ws_.config.analogs[static_cast<std::size_t>(row)].sendAtOnceByte;
  for (std::size_t k = 0; k < atOnce_.size(); ++k) atOnce_[k]->setChecked((f & kAtOnceBits[k]) != 0);
  CheckEnabled();
  const QString unit = QString::fromStdString(ws_.scales[static_cast<std::size_t>(row)].Unit);
  for (QLabel* u : units_) u->setText(unit);
  GraphMake();
}

void AnalogEditor::Store() {
  StoreBound();
  AnalogInput& a = ws_.config.analogs[static_cast<std::size_t>(row_)];
  std::uint8_t bits = 0;
  for (std::size_t k = 0; k < atOnce_.size(); ++k) {
    if (atOnce_[k]->isChecked()) bits = static_cast<std::uint8_t>(bits | kAtOnceBits[k]);
  }
  a.sendAtOnceByte = static_cast<std::uint8_t>((a.sendAtOnceByte & 0xF0) | bits);
}

void AnalogEditor::CheckEnabled() {
  const bool powerSave = ws_.config.general.EnablePS;
  for (std::size_t k = 0; k < atOnce_.size(); ++k) atOnce_[k]->setEnabled(events_[k]->isChecked() && powerSave);
}

void AnalogEditor::GraphMake() {
  GraphInput in;
  in.cl1Text = cl1_->text().toStdString();
  in.hcl1Text = hcl1_->text().toStdString();
  in.cl2Text = cl2_->text().toStdString();
  in.hcl2Text = hcl2_->text().toStdString();
  in.negated = neg_->isChecked();
  graph_->Redraw(ws_.scales[static_cast<std::size_t>(row_)], in, ws_.decimalSeparator);
}

const qt::PictureSurface& AnalogEditor::DrawRowGraph(int row) {
  if (row >= 0 && row < kRows) row_ = row;
  const AnalogInput& a = ws_.config.analogs[static_cast<std::size_t>(row_)];
  GraphInput in{a.AINCL1Level, a.AINHCL1Level, a.AINCL2Level, a.AINHCL2Level, a.AINNeg};
  graph_->Redraw(ws_.scales[static_cast<std::size_t>(row_)], in, ws_.decimalSeparator);
  return graph_->surface();
}

rules::FieldCheck AnalogEditor::CheckField(FieldRef ref) {
  // The levels are put on the unit's grid whatever the state of the cancel
  // flag; they never fail.
  const bool level = ref.field == Field::AINCL1Level || ref.field == Field::AINCL2Level;
  const bool hysteresis = ref.field == Field::AINHCL1Level || ref.field == Field::AINHCL2Level;
  if (!level && !hysteresis) return fields_->StandardCheck(ref);
  rules::FieldCheck check;
  std::string* text = TextOf(scratch_, ws_.settings, ref);
  if (text == nullptr) return check;
  const AnalogScale& s = ws_.scales[static_cast<std::size_t>(row_)];
  std::string normal = level ? rules::NormalizeLevelText(s, *text, ws_.decimalSeparator)
                             : rules::NormalizeHysteresisText(s, *text, ws_.decimalSeparator);
  if (*text != normal) {
    *text = std::move(normal);
    check.changed.push_back(ref);
  }
  return check;
}

bool AnalogEditor::AcceptCheck() {
  const float cl1 = rules::ParseDecimal(cl1_->text().toStdString());
  const float hcl1 = rules::ParseDecimal(hcl1_->text().toStdString());
  const float cl2 = rules::ParseDecimal(cl2_->text().toStdString());
  const float hcl2 = rules::ParseDecimal(hcl2_->text().toStdString());
  const std::uint8_t negation = neg_->isChecked() ? 1 : 0;
  if (rules::CheckAnalogLevels(cl1, hcl1, cl2, hcl2, negation, ws_.scales[static_cast<std::size_t>(row_)])) {
    return true;
  }
  sv_.messages.Show(Icon::Error, texts::kMsgAnalogLevels);
  fields_->FocusBack(cl1_);
  return false;
}

void AnalogEditor::showEvent(QShowEvent* event) {
  // Drawn afresh, then the focus goes to the name (the first field).
  GraphMake();
  EditorDialog::showEvent(event);
}

}  // namespace vexa::ui
