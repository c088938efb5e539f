// The tab "SMS zprávy": authorisation, the validity of SMS messages, the
// battery report and the two report groups with their enabling rules.
#pragma once

#include <QWidget>
#include <vector>


namespace vexa::ui {

class FieldController;

class SmsTab : public QWidget {
  Q_OBJECT
 public:
  explicit SmsTab(FieldController& fields);

  // The report groups' texts are enabled by their flags.
  void ApplySwitchReportRule(bool on);
  void ApplyPowerReportRule(bool on);
  void ApplyNotAuthorizedRule(bool on);

 private:
  std::vector<QWidget*> switchReportControls_;
  std::vector<QWidget*> powerReportControls_;
  std::vector<QWidget*> notAuthorizedControls_;
};

}  // namespace vexa::ui
