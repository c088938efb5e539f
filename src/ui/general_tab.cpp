#include "ui/general_tab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "texts/texts_window.h"
#include "ui/captions.h"
#include "ui/field_binding.h"
#include "ui/field_controller.h"
#include "workspace/workspace.h"

namespace vexa::ui {

namespace {

// The SMS centre: typed or chosen from the suggested numbers.
QWidget* MakeSmsCentre(FieldController& fields, const Workspace& ws, Field f) {
  auto* centre = new FieldCombo;
  centre->setObjectName(WindowControlName(f));
  centre->setEditable(true);
  centre->setInsertPolicy(QComboBox::NoInsert);
  centre->setCompleter(nullptr);  // a typed beginning must not be completed to a suggestion
  for (const std::string& n : ws.tables.smsCentres) centre->addItem(QString::fromStdString(n));
  centre->setAccessibleName(CaptionOf(f));
  centre->lineEdit()->setAccessibleName(centre->accessibleName());
  centre->setToolTip(TipOf(f));
  centre->setMinimumWidth(200);
  centre->setMaximumWidth(260);
  fields.BindCombo({f}, centre);
  return centre;
}

}  // namespace

GeneralTab::GeneralTab(FieldController& fields, const Workspace& ws) {
  auto* outer = new QVBoxLayout(this);
  const auto tab = kTabFields[static_cast<std::size_t>(IndexOf(WindowTab::Vseobecne))];
  // The panel "Zařízení" holds the tab's fields up to the power-save mode,
  // the panel "Šetřící režim" the rest.
  const auto powerSave = std::find(tab.begin(), tab.end(), Field::EnablePS);
  QGroupBox* device = MakeDevicePanel(fields, ws, {tab.begin(), powerSave});
  QGroupBox* ps = MakePowerSavePanel(fields, {powerSave, tab.end()});

  outer->addWidget(device);
  auto* psRow = new QHBoxLayout;
  psRow->addWidget(ps);
  psRow->addStretch(1);
  outer->addLayout(psRow);
  outer->addStretch(1);
}

QGroupBox* GeneralTab::MakeDevicePanel(FieldController& fields, const Workspace& ws, std::span<const Field> shown) {
  auto* device = new QGroupBox(Words(texts::kPanelDevice));
  device->setObjectName(QStringLiteral("frZarizeni"));
  auto* dg = new QGridLayout(device);
  std::vector<std::pair<Field, QWidget*>> lines;
  for (const Field f : shown) {
    lines.emplace_back(f, f == Field::TCcentra ? MakeSmsCentre(fields, ws, f) : MakeFieldEdit(fields, f));
  }
  int line = 0;
  for (const auto& [field, control] : lines) {
    dg->addWidget(MakeCaption(LabelOf(field), nullptr, control), line, 0);
    // The station name takes the whole width; the PIN is short.
    if (field == Field::PIN) control->setMaximumWidth(120);
    dg->addWidget(control, line, 1, 1, field == Field::JmenoStanice ? 2 : 1);
    ++line;
  }
  dg->setColumnStretch(2, 1);
  return device;
}

// A period's line: its caption, the hours and the minutes, each followed by
// its unit. The caption and the units are named after the fields (lblPSOn,
// lblPSOnH, lblPSOnM).
QWidget* GeneralTab::MakePeriodLine(FieldController& fields, Field hours, Field minutes) {
  auto* row = new QWidget;
  auto* rl = new QHBoxLayout(row);
  rl->setContentsMargins(0, 0, 0, 0);
  const QString caption = LabelOf(hours);
  const QString spoken = AccessibleFromCaption(caption) + QLatin1Char(' ');
  auto* h = fields.MakeEdit({hours}, WindowControlName(hours), spoken + AfterOf(hours));
  auto* m = fields.MakeEdit({minutes}, WindowControlName(minutes), spoken + AfterOf(minutes));
  h->setMaximumWidth(56);
  m->setMaximumWidth(56);
  const QByteArray hName = "lbl" + QByteArray(InfoOf(hours).name);
  const QByteArray mName = "lbl" + QByteArray(InfoOf(minutes).name);
  QLabel* cap = MakeCaption(caption, hName.chopped(1).constData(), h);
  QLabel* hl = MakeCaption(AfterOf(hours), hName.constData());
  QLabel* ml = MakeCaption(AfterOf(minutes), mName.constData());
  for (QWidget* w : std::initializer_list<QWidget*>{cap, h, hl, m, ml}) rl->addWidget(w);
  rl->addStretch();
  enabled_.Add(hours, {cap, h, hl});
  enabled_.Add(minutes, {m, ml});
  return row;
}

QGroupBox* GeneralTab::MakePowerSavePanel(FieldController& fields, std::span<const Field> shown) {
  auto* ps = new QGroupBox(Words(texts::kPanelPowerSave));
  ps->setObjectName(QStringLiteral("frSetriciRezim"));
  auto* pl = new QVBoxLayout(ps);
  for (auto f = shown.begin(); f != shown.end(); ++f) {
    if (*f == Field::EnablePS) {
      // The mode is one of two options. The user cannot change it; only a
      // decoded configuration does.
      opEnablePS0_ = new QRadioButton(Words(texts::kOptionNoPowerSave));
      opEnablePS0_->setObjectName(QStringLiteral("opEnablePS0"));
      opEnablePS1_ = new QRadioButton(CaptionOf(*f));
      opEnablePS1_->setObjectName(QStringLiteral("opEnablePS1"));
      opEnablePS0_->setEnabled(false);
      opEnablePS1_->setEnabled(false);
      pl->addWidget(opEnablePS0_);
      pl->addWidget(opEnablePS1_);
      fields.BindOptions({*f}, opEnablePS1_, opEnablePS0_);
      continue;
    }
    QWidget* control = nullptr;
    if (InfoOf(*f).kind == FieldKind::Flag) {
      control = MakeFieldCheck(fields, *f);
      enabled_.Add(*f, {control});
    } else {
      // The hours of a period, with the minutes that follow them.
      control = MakePeriodLine(fields, *f, *(f + 1));
      ++f;
    }
    if (InfoOf(*f).hidden) control->setVisible(false);
    pl->addWidget(control);
  }
  return ps;
}

}  // namespace vexa::ui
