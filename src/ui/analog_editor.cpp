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

#include "platform/services.h"
#include "platform/texts.h"
#include "platform/texts_window.h"
#include "qt/picture_surface.h"
#include "rules/analog_levels.h"
#include "ui/captions.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

constexpr std::array<std::uint8_t, 4> kAtOnceBits = {kBitCL1Up, kBitCL1Down, kBitCL2Up, kBitCL2Down};

QLabel* MakeLabel(const QString& text, const char* objectName, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(objectName));
  return label;
}

}  // namespace

AnalogEditor::AnalogEditor(Workspace& ws, Services& sv, QWidget* parent)
    : EditorDialog(ws, sv, rules::Variant::AnalogEditor, parent) {
  setObjectName(QStringLiteral("Analog"));

  // Left: the name and the status-message options.
  auto* general = new QGroupBox(this);
  general->setObjectName(QStringLiteral("fraNazev"));
  QLabel* nameLabel = nullptr;
  std::tie(nameLabel, name_) = AddCaptioned(Field::AINNazev, general);
  QCheckBox* prc = AddFlag(Field::AINPrc);
  QCheckBox* zpr = AddFlag(Field::AINZpr);
  auto* generalGrid = new QGridLayout(general);
  generalGrid->addWidget(nameLabel, 0, 0);
  generalGrid->addWidget(name_, 0, 1);
  generalGrid->addWidget(prc, 1, 0, 1, 2);
  generalGrid->addWidget(zpr, 2, 0, 1, 2);
  generalGrid->setColumnStretch(1, 1);

  // Left: the names of the three states.
  QGroupBox* stateNames =
      AddStatesGroup(Words(texts::kPanelStateNames), {Field::AINStateL, Field::AINStateM, Field::AINStateH});

  graph_ = new qt::GraphView(this);
  graph_->setObjectName(QStringLiteral("Graph"));
  graph_->setAccessibleName(Words(texts::kGraphName));
  graph_->setAccessibleDescription(Words(texts::kGraphDescription));

  // Right: the group "Úrovně", one half per comparison level.
  auto* limits = new QGroupBox(Words(texts::kPanelLevels), this);
  limits->setObjectName(QStringLiteral("Meze"));
  auto* limitsLayout = new QVBoxLayout(limits);

  struct Half {
    const char* title;
    const char* titleName;
    const char* subtitle;
    Field level;
    Field hyst;
  };
  const Half halves[] = {
      {texts::kLevelCL1, "lblCL1", texts::kLevelCL1Bounds, Field::AINCL1Level, Field::AINHCL1Level},
      {texts::kLevelCL2, "lblCL2", texts::kLevelCL2Bounds, Field::AINCL2Level, Field::AINHCL2Level},
  };
  // Each crossing: its event box and text, and its "odeslat ihned" box.
  struct Crossing {
    Field event;
    Field text;
    const char* atOnceName;
  };
  const Crossing crossings[] = {
      {Field::AINCL1UpEvent, Field::AINCL1Up, "eeCL1Up"},
      {Field::AINCL1DnEvent, Field::AINCL1Dn, "eeCL1Down"},
      {Field::AINCL2UpEvent, Field::AINCL2Up, "eeCL2Up"},
      {Field::AINCL2DnEvent, Field::AINCL2Dn, "eeCL2Down"},
  };

  QFont bold = font();
  bold.setBold(true);
  const int levelWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 14;
  // Room for the widest unit of any row, so the levels stay in place.
  int unitWidth = 0;
  for (const AnalogScale& scale : ws_.scales) {
    unitWidth = std::max(unitWidth, fontMetrics().horizontalAdvance(QString::fromStdString(scale.Unit)) + 4);
  }
  for (int h = 0; h < 2; ++h) {
    const Half& half = halves[h];
    if (h == 1) {
      auto* rule = new QFrame(limits);
      rule->setObjectName(QStringLiteral("linMeze"));
      rule->setFrameShape(QFrame::HLine);
      rule->setFrameShadow(QFrame::Sunken);
      limitsLayout->addWidget(rule);
    }
    auto* heading = new QHBoxLayout;
    auto* title = MakeLabel(QString::fromUtf8(half.title), half.titleName, limits);
    title->setFont(bold);
    heading->addWidget(title);
    heading->addWidget(new QLabel(QString::fromUtf8(half.subtitle), limits));
    heading->addStretch(1);
    limitsLayout->addLayout(heading);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    auto* levelLabel = new QLabel(LabelOf(half.level), limits);
    QLineEdit* level = AddText(half.level);
    auto* hystLabel = new QLabel(LabelOf(half.hyst), limits);
    QLineEdit* hyst = AddText(half.hyst);
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
    for (int c = 0; c < 2; ++c) {
      const int k = 2 * h + c;
      const Crossing& x = crossings[k];
      events_[k] = AddFlag(x.event);
      QLineEdit* text = AddText(x.text);
      text->setMinimumWidth(200);
      atOnce_[k] = new QCheckBox(Words(texts::kSendAtOnce), limits);
      atOnce_[k]->setObjectName(QString::fromLatin1(x.atOnceName));
      // Four boxes share the caption; a screen reader tells them apart.
      atOnce_[k]->setAccessibleName(CaptionOf(x.event) + QStringLiteral(": ") + Words(texts::kSendAtOnce));
      grid->addWidget(events_[k], 2 * c, 4, 1, 2);
      grid->addWidget(text, 2 * c + 1, 4);
      grid->addWidget(atOnce_[k], 2 * c + 1, 5);
      connect(events_[k], &QCheckBox::toggled, this, &AnalogEditor::CheckEnabled);
    }
    grid->setColumnStretch(4, 1);
    limitsLayout->addLayout(grid);
    if (h == 0) {
      cl1_ = level;
      hcl1_ = hyst;
    } else {
      cl2_ = level;
      hcl2_ = hyst;
    }
  }
  neg_ = AddFlag(Field::AINNeg);
  limitsLayout->addSpacing(4);
  limitsLayout->addWidget(neg_);
  limitsLayout->addStretch(1);

  auto* left = new QVBoxLayout;
  left->addWidget(general);
  left->addWidget(stateNames);
  left->addWidget(graph_, 0, Qt::AlignHCenter);
  left->addStretch(1);

  auto* right = new QVBoxLayout;
  right->addWidget(limits, 1);
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
  setTabOrder(name_, prc);
  setTabOrder(prc, zpr);
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
