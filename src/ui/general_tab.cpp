#include "ui/general_tab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/texts_window.h"
#include "ui/captions.h"
#include "ui/field_binding.h"
#include "ui/field_controller.h"
#include "workspace/workspace.h"

namespace vexa::ui {

GeneralTab::GeneralTab(FieldController& fields, const Workspace& ws) {
  auto* outer = new QVBoxLayout(this);

  auto* device = new QGroupBox(Words(texts::kPanelDevice));
  device->setObjectName(QStringLiteral("frZarizeni"));
  auto* dg = new QGridLayout(device);
  QLineEdit* name = MakeFieldEdit(fields, Field::JmenoStanice);
  QLineEdit* pin = MakeFieldEdit(fields, Field::PIN);
  pin->setMaximumWidth(120);
  auto* centre = new FieldCombo;
  centre->setObjectName(WindowControlName(Field::TCcentra));
  centre->setEditable(true);
  centre->setInsertPolicy(QComboBox::NoInsert);
  centre->setCompleter(nullptr);  // a typed beginning must not be completed to a suggestion
  for (const std::string& n : ws.tables.smsCentres) centre->addItem(QString::fromStdString(n));
  centre->setAccessibleName(CaptionOf(Field::TCcentra));
  centre->lineEdit()->setAccessibleName(centre->accessibleName());
  centre->setToolTip(TipOf(Field::TCcentra));
  centre->setMinimumWidth(200);
  centre->setMaximumWidth(260);
  fields.BindCombo({Field::TCcentra}, centre);

  int line = 0;
  for (const auto& [field, control] : {std::pair<Field, QWidget*>{Field::JmenoStanice, name},
                                       {Field::PIN, pin},
                                       {Field::TCcentra, centre}}) {
    dg->addWidget(MakeCaption(LabelOf(field), nullptr, control), line, 0);
    // The station name takes the whole width.
    dg->addWidget(control, line, 1, 1, field == Field::JmenoStanice ? 2 : 1);
    ++line;
  }
  dg->setColumnStretch(2, 1);

  auto* ps = new QGroupBox(Words(texts::kPanelPowerSave));
  ps->setObjectName(QStringLiteral("frSetriciRezim"));
  auto* pl = new QVBoxLayout(ps);
  opEnablePS0_ = new QRadioButton(Words(texts::kOptionNoPowerSave));
  opEnablePS0_->setObjectName(QStringLiteral("opEnablePS0"));
  opEnablePS1_ = new QRadioButton(CaptionOf(Field::EnablePS));
  opEnablePS1_->setObjectName(QStringLiteral("opEnablePS1"));
  // The user cannot change the power-save mode; only a decoded
  // configuration does.
  opEnablePS0_->setEnabled(false);
  opEnablePS1_->setEnabled(false);
  pl->addWidget(opEnablePS0_);
  pl->addWidget(opEnablePS1_);
  fields.BindOptions({Field::EnablePS}, opEnablePS1_, opEnablePS0_);

  // A period's line: its caption, the hours and the minutes, each followed
  // by its unit. The caption and the units are named after the fields
  // (lblPSOn, lblPSOnH, lblPSOnM).
  auto periodLine = [&](Field hours, Field minutes) {
    auto* row = new QWidget;
    auto* rl = new QHBoxLayout(row);
    rl->setContentsMargins(0, 0, 0, 0);
    const QString caption = LabelOf(hours);
    const QString spoken = AccessibleFromCaption(caption) + QLatin1Char(' ');
    auto* h = fields.MakeEdit({hours}, WindowControlName(hours), spoken + AfterOf(hours));
    auto* m = fields.MakeEdit({minutes}, WindowControlName(minutes), spoken + AfterOf(minutes));
    h->setMaximumWidth(56);
    m->setMaximumWidth(56);
    const QString hName = QStringLiteral("lbl") + QString::fromLatin1(InfoOf(hours).name);
    const QString mName = QStringLiteral("lbl") + QString::fromLatin1(InfoOf(minutes).name);
    QLabel* cap = MakeCaption(caption, hName.chopped(1).toLatin1().constData(), h);
    QLabel* hl = MakeCaption(AfterOf(hours), hName.toLatin1().constData());
    QLabel* ml = MakeCaption(AfterOf(minutes), mName.toLatin1().constData());
    rl->addWidget(cap);
    rl->addWidget(h);
    rl->addWidget(hl);
    rl->addWidget(m);
    rl->addWidget(ml);
    rl->addStretch();
    powerSaveControls_.insert(powerSaveControls_.end(), {cap, h, hl, m, ml});
    row->setVisible(false);  // hidden in this edition
    return row;
  };
  pl->addWidget(periodLine(Field::PSOnH, Field::PSOnM));
  pl->addWidget(periodLine(Field::PSOffH, Field::PSOffM));
  for (const Field f : {Field::SuperPS, Field::PSOutOff}) {
    QCheckBox* box = MakeFieldCheck(fields, f);
    box->setVisible(false);  // hidden in this edition
    pl->addWidget(box);
    powerSaveControls_.push_back(box);
  }

  outer->addWidget(device);
  auto* psRow = new QHBoxLayout;
  psRow->addWidget(ps);
  psRow->addStretch(1);
  outer->addLayout(psRow);
  outer->addStretch(1);
}

void GeneralTab::CheckEnabled() {
  const bool on = opEnablePS1_->isChecked();
  for (QWidget* w : powerSaveControls_) w->setEnabled(on);
}

}  // namespace vexa::ui
