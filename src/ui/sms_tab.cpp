#include "ui/sms_tab.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/texts_window.h"
#include "ui/captions.h"
#include "ui/field_controller.h"

namespace vexa::ui {

SmsTab::SmsTab(FieldController& fields) {
  auto* columns = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;

  // Authorisation and status reports.
  auto* auth = new QGroupBox;
  auth->setObjectName(QStringLiteral("frAutorizace"));
  auto* al = new QVBoxLayout(auth);
  al->addWidget(MakeFieldCheck(fields, Field::PINAuth));
  al->addWidget(MakeFieldCheck(fields, Field::OdpovidatT0));
  QCheckBox* prepnout = MakeFieldCheck(fields, Field::PrepnoutNepovolPristup);
  QCheckBox* notAuth = MakeFieldCheck(fields, Field::NotAuthorized);
  QLineEdit* notAuthText = MakeFieldEdit(fields, Field::rtNotAuthorized);
  QLabel* notAuthCaption = MakeCaption(LabelOf(Field::rtNotAuthorized), "lblNotAuthorized", notAuthText);
  for (QWidget* w : std::initializer_list<QWidget*>{prepnout, notAuth, notAuthCaption, notAuthText}) {
    w->setVisible(false);  // hidden in this edition
    al->addWidget(w);
  }
  notAuthorizedControls_ = {notAuthCaption, notAuthText};

  // SMS validity: caption, the number of days, and its unit on one line.
  auto* validity = new QGroupBox;
  validity->setObjectName(QStringLiteral("frPlatnost"));
  auto* vl = new QHBoxLayout(validity);
  QLineEdit* days = MakeFieldEdit(fields, Field::DobaPlatnostiSMS);
  days->setMaximumWidth(40);
  days->setAlignment(Qt::AlignRight);
  vl->addWidget(MakeCaption(LabelOf(Field::DobaPlatnostiSMS), nullptr, days));
  vl->addWidget(days);
  vl->addWidget(MakeCaption(AfterOf(Field::DobaPlatnostiSMS)));
  vl->addStretch();

  auto* battery = new QGroupBox(Words(texts::kPanelBattery));
  battery->setObjectName(QStringLiteral("frBaterie"));
  auto* bl = new QVBoxLayout(battery);
  bl->addWidget(MakeFieldCheck(fields, Field::Batt));
  QLineEdit* battText = MakeFieldEdit(fields, Field::rtBattLow);
  bl->addWidget(MakeCaption(LabelOf(Field::rtBattLow), nullptr, battText));
  bl->addWidget(battText);

  // A report group: its flag, and two captioned texts that the flag
  // enables. The group's title is the group its fields are read under.
  auto reportGroup = [&](const char* frameName, Field flag, Field on, const char* onCaption, Field off,
                         const char* offCaption, std::vector<QWidget*>& controls) {
    auto* box = new QGroupBox(Words(InfoOf(flag).group));
    box->setObjectName(QString::fromLatin1(frameName));
    auto* gl = new QVBoxLayout(box);
    gl->addWidget(MakeFieldCheck(fields, flag));
    QLineEdit* onEdit = MakeFieldEdit(fields, on);
    QLineEdit* offEdit = MakeFieldEdit(fields, off);
    QLabel* onLabel = MakeCaption(LabelOf(on), onCaption, onEdit);
    QLabel* offLabel = MakeCaption(LabelOf(off), offCaption, offEdit);
    gl->addWidget(onLabel);
    gl->addWidget(onEdit);
    gl->addWidget(offLabel);
    gl->addWidget(offEdit);
    controls = {onLabel, onEdit, offLabel, offEdit};
    return box;
  };
  QGroupBox* power = reportGroup("frSitoveNapajeni", Field::PowerReport, Field::rtPowerUp, "lblPowerUp",
                                 Field::rtPowerDown, "lblPowerDown", powerReportControls_);
  QGroupBox* unit = reportGroup("frZapnutiZarizeni", Field::SwitchReport, Field::rtSwitchOn, "lblSwitchOn",
                                Field::rtSwitchOff, "lblSwitchOff", switchReportControls_);

  left->addWidget(auth);
  left->addWidget(validity);
  left->addWidget(battery);
  left->addStretch(1);
  right->addWidget(power);
  right->addWidget(unit);
  right->addStretch(1);
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);
}

void SmsTab::ApplySwitchReportRule(bool on) {
  for (QWidget* w : switchReportControls_) w->setEnabled(on);
}

void SmsTab::ApplyPowerReportRule(bool on) {
  for (QWidget* w : powerReportControls_) w->setEnabled(on);
}

void SmsTab::ApplyNotAuthorizedRule(bool on) {
  for (QWidget* w : notAuthorizedControls_) w->setEnabled(on);
}

}  // namespace vexa::ui
