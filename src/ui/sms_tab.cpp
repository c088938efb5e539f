#include "ui/sms_tab.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

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
  al->addWidget(fields.MakeCheck({Field::PINAuth}, QStringLiteral("tabPINAuth"),
                                 QStringLiteral("Autorizace pomocí zadání PINu v příkazové zprávě")));
  al->addWidget(fields.MakeCheck({Field::OdpovidatT0}, QStringLiteral("tabOdpovidatT0"),
                                 QStringLiteral("Hlášení o stavu posílat i na telefonní číslo T1")));
  auto* prepnout = fields.MakeCheck({Field::PrepnoutNepovolPristup}, QStringLiteral("tabPrepnoutNepovolPristup"),
                                    QStringLiteral("Hlášení o nepovoleném přístupu posílat i na tel. číslo T1"));
  auto* notAuth = fields.MakeCheck({Field::NotAuthorized}, QStringLiteral("tabNotAuthorized"),
                                   QStringLiteral("Posílat hlášení, že není povolen přístup"));
  auto* notAuthText = fields.MakeEdit({Field::rtNotAuthorized}, QStringLiteral("rtNotAuthorized"),
                                      QStringLiteral("Text hlášení o nepovolení přístupu"));
  auto* notAuthCaption =
      MakeCaption(QStringLiteral("Text hlášení o nepovolení přístupu:"), "lblNotAuthorized", notAuthText);
  for (QWidget* w : std::initializer_list<QWidget*>{prepnout, notAuth, notAuthCaption, notAuthText}) {
    w->setVisible(false);  // hidden in this edition
    al->addWidget(w);
  }
  notAuthorizedControls_ = {notAuthCaption, notAuthText};

  // SMS validity.
  auto* validity = new QGroupBox;
  validity->setObjectName(QStringLiteral("frPlatnost"));
  auto* vl = new QHBoxLayout(validity);
  auto* days = fields.MakeEdit({Field::DobaPlatnostiSMS}, QStringLiteral("tabDobaPlatnostiSMS"),
                               QStringLiteral("Doba platnosti SMS zprávy"),
                               QStringLiteral("Doba, po kterou je SMS zpráva platná"));
  days->setMaximumWidth(40);
  days->setAlignment(Qt::AlignRight);
  vl->addWidget(MakeCaption(QStringLiteral("Doba platnosti SMS zprávy je"), nullptr, days));
  vl->addWidget(days);
  vl->addWidget(MakeCaption(QStringLiteral("dnů  (1-30).")));
  vl->addStretch();

  // Battery.
  auto* battery = new QGroupBox(QStringLiteral("Baterie"));
  battery->setObjectName(QStringLiteral("frBaterie"));
  auto* bl = new QVBoxLayout(battery);
  bl->addWidget(fields.MakeCheck({Field::Batt}, QStringLiteral("tabBatt"),
                                 QStringLiteral("při poklesu napětí pod CL1 vypnout zařízení")));
  auto* battText = fields.MakeEdit({Field::rtBattLow}, QStringLiteral("rtBattLow"),
                                   QStringLiteral("Text hlášení při poklesu napětí"));
  bl->addWidget(
      MakeCaption(QStringLiteral("Text hlášení při poklesu napětí\n = text při přechodu CL1 dolu u analog.vstup BAT:"),
                  nullptr, battText));
  bl->addWidget(battText);

  // A report group: its flag, and two captioned texts that the flag enables.
  auto reportGroup = [&](const QString& title, const char* frameName, Field flag, const char* flagName, Field on,
                         const char* onName, const char* onCaption, Field off, const char* offName,
                         const char* offCaption, std::vector<QWidget*>& controls) {
    auto* box = new QGroupBox(title);
    box->setObjectName(QString::fromLatin1(frameName));
    auto* gl = new QVBoxLayout(box);
    gl->addWidget(fields.MakeCheck({flag}, QString::fromLatin1(flagName),
                                   QStringLiteral("posílat hlášení o zapnutí/vypnutí")));
    auto* onEdit = fields.MakeEdit({on}, QString::fromLatin1(onName), QStringLiteral("Text hlášení při zapnutí"));
    auto* offEdit = fields.MakeEdit({off}, QString::fromLatin1(offName), QStringLiteral("Text hlášení při vypnutí"));
    onEdit->setAccessibleDescription(title);
    offEdit->setAccessibleDescription(title);
    QLabel* onLabel = MakeCaption(QStringLiteral("Text hlášení při zapnutí:"), onCaption, onEdit);
    QLabel* offLabel = MakeCaption(QStringLiteral("Text hlášení při vypnutí:"), offCaption, offEdit);
    gl->addWidget(onLabel);
    gl->addWidget(onEdit);
    gl->addWidget(offLabel);
    gl->addWidget(offEdit);
    controls = {onLabel, onEdit, offLabel, offEdit};
    return box;
  };
  QGroupBox* power = reportGroup(QStringLiteral("Zapnutí/Vypnutí síťového napájení"), "frSitoveNapajeni",
                                 Field::PowerReport, "tabPowerReport", Field::rtPowerUp, "rtPowerUp", "lblPowerUp",
                                 Field::rtPowerDown, "rtPowerDown", "lblPowerDown", powerReportControls_);
  QGroupBox* unit = reportGroup(QStringLiteral("Zapnutí/Vypnutí zařízení"), "frZapnutiZarizeni", Field::SwitchReport,
                                "tabSwitchReport", Field::rtSwitchOn, "rtSwitchOn", "lblSwitchOn", Field::rtSwitchOff,
                                "rtSwitchOff", "lblSwitchOff", switchReportControls_);

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
