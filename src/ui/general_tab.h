// The tab "Všeobecné": the unit's name, PIN and SMS centre, and the
// power-save mode with its period lines (hidden in this edition).
#pragma once

#include <QWidget>
#include <span>

#include "ui/captions.h"

class QGroupBox;
class QRadioButton;

namespace vexa {
struct Workspace;
}

namespace vexa::ui {

class GeneralTab : public QWidget {
  Q_OBJECT
 public:
  GeneralTab(FieldController& fields, const Workspace& ws);

  // The power-save periods and the two power-save check boxes take input
  // only while "Povolit šetřící režim" is on (rules/follow_up.h).
  void ApplyEnabling(Field flag, bool on) { enabled_.Apply(flag, on); }

 private:
  QGroupBox* MakeDevicePanel(FieldController& fields, const Workspace& ws, std::span<const Field> shown);
  QGroupBox* MakePowerSavePanel(FieldController& fields, std::span<const Field> shown);
  QWidget* MakePeriodLine(FieldController& fields, Field hours, Field minutes);

  QRadioButton* opEnablePS0_ = nullptr;
  QRadioButton* opEnablePS1_ = nullptr;
  EnabledControls enabled_;
};

}  // namespace vexa::ui
