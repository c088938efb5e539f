#include "ui/general_tab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/captions.h"
#include "ui/field_binding.h"
#include "ui/field_controller.h"
#include "workspace/workspace.h"

namespace vexa::ui {

GeneralTab::GeneralTab(FieldController& fields, const Workspace& ws) {
  auto* outer = new QVBoxLayout(this);

  // "Zařízení"
  auto* device = new QGroupBox(QStringLiteral("Zařízení"));
  device->setObjectName(QStringLiteral("frZarizeni"));
  auto* dg = new QGridLayout(device);
  auto* name = fields.MakeEdit({Field::JmenoStanice}, QStringLiteral("tabJmenoStanice"),
                               QStringLiteral("Název stanice"), QStringLiteral("Název stanice"));
  auto* pin = fields.MakeEdit({Field::PIN}, QStringLiteral("tabPIN"), QStringLiteral("PIN"),
                              QStringLiteral("PIN SIM karty, která je uložena ve stanici"));
  pin->setMaximumWidth(120);
  auto* centre = new FieldCombo;
  centre->setObjectName(QStringLiteral("tabTCcentra"));
  centre->setEditable(true);
  centre->setInsertPolicy(QComboBox::NoInsert);
  centre->setCompleter(nullptr);  // a typed beginning must not be completed to a suggestion
  for (const std::string& n : ws.tables.smsCentres) centre->addItem(QString::fromStdString(n));
  centre->setAccessibleName(QStringLiteral("Telefonní číslo servisního centra"));
  centre->lineEdit()->setAccessibleName(centre->accessibleName());
  centre->setToolTip(QStringLiteral("Telefonní číslo servisního centra SMS zpráv"));
  centre->setMinimumWidth(200);
  centre->setMaximumWidth(260);
  fields.BindCombo({Field::TCcentra}, centre);

  dg->addWidget(MakeCaption(QStringLiteral("Název stanice:"), nullptr, name), 0, 0);
  dg->addWidget(name, 0, 1, 1, 2);
  dg->addWidget(MakeCaption(QStringLiteral("PIN:"), nullptr, pin), 1, 0);
  dg->addWidget(pin, 1, 1);
  dg->addWidget(MakeCaption(QStringLiteral("Telefonní číslo servisního centra:"), nullptr, centre), 2, 0);
  dg->addWidget(centre, 2, 1);
  dg->setColumnStretch(2, 1);

  // "Šetřící režim"
  auto* ps = new QGroupBox(QStringLiteral("Šetřící režim"));
  ps->setObjectName(QStringLiteral("frSetriciRezim"));
  auto* pl = new QVBoxLayout(ps);
  opEnablePS0_ = new QRadioButton(QStringLiteral("Bez šetřícího režimu"));
  opEnablePS0_->setObjectName(QStringLiteral("opEnablePS0"));
  opEnablePS1_ = new QRadioButton(QStringLiteral("Povolit šetřící režim"));
  opEnablePS1_->setObjectName(QStringLiteral("opEnablePS1"));
  // The user cannot change the power-save mode; only a decoded
  // configuration does.
  opEnablePS0_->setEnabled(false);
  opEnablePS1_->setEnabled(false);
  pl->addWidget(opEnablePS0_);
  pl->addWidget(opEnablePS1_);
  fields.BindOptions({Field::EnablePS}, opEnablePS1_, opEnablePS0_);

  auto periodLine = [&](const QString& caption, const char* captionName, Field hours, const char* hoursName,
                        const char* hName, Field minutes, const char* minutesName, const char* mName) {
    auto* row = new QWidget;
    auto* rl = new QHBoxLayout(row);
    rl->setContentsMargins(0, 0, 0, 0);
    auto* h = fields.MakeEdit({hours}, QString::fromLatin1(hoursName),
                              AccessibleFromCaption(caption) + QStringLiteral(" h"));
    auto* m = fields.MakeEdit({minutes}, QString::fromLatin1(minutesName),
                              AccessibleFromCaption(caption) + QStringLiteral(" m"));
    h->setMaximumWidth(56);
    m->setMaximumWidth(56);
    QLabel* cap = MakeCaption(caption, captionName, h);
    QLabel* hl = MakeCaption(QStringLiteral("h"), hName);
    QLabel* ml = MakeCaption(QStringLiteral("m"), mName);
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
  pl->addWidget(periodLine(QStringLiteral("Doba zapnutého modemu ................................"), "lblPSOn",
                           Field::PSOnH, "tabPSOnH", "lblPSOnH", Field::PSOnM, "tabPSOnM", "lblPSOnM"));
  pl->addWidget(periodLine(QStringLiteral("Doba vypnutého modemu ................................"), "lblPSOff",
                           Field::PSOffH, "tabPSOffH", "lblPSOffH", Field::PSOffM, "tabPSOffM", "lblPSOffM"));
  auto* superPs =
      fields.MakeCheck({Field::SuperPS}, QStringLiteral("tabSuperPS"), QStringLiteral("Super šetřící režim"));
  auto* outOff = fields.MakeCheck({Field::PSOutOff}, QStringLiteral("tabPSOutOff"),
                                  QStringLiteral("Při vypnutém modemu vypnout výstupy"));
  superPs->setVisible(false);
  outOff->setVisible(false);
  pl->addWidget(superPs);
  pl->addWidget(outOff);
  powerSaveControls_.push_back(superPs);
  powerSaveControls_.push_back(outOff);

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
