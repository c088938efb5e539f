// The tab "SMS zprávy": authorisation, the validity of SMS messages, the
// battery report and the two report groups with their enabling rules.
#pragma once

#include <QWidget>

#include "ui/captions.h"

namespace vexa::ui {

class SmsTab : public QWidget {
  Q_OBJECT
 public:
  explicit SmsTab(FieldController& fields);

  // The report groups' texts are enabled by their flags.
  void ApplyEnabling(Field flag, bool on) { enabled_.Apply(flag, on); }

 private:
  EnabledControls enabled_;
};

}  // namespace vexa::ui
