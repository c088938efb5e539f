// What the commands of the main window ask of the window itself, beyond
// their own controls.
#pragma once

class QString;

namespace vexa::ui {

class CommandHost {
 public:
  // While a read, write or compare runs the configuration takes no input.
  // Locks and unlocks come in pairs.
  virtual void LockFields(bool locked) = 0;
  // A read from the unit replaced the configuration in the window; `source`
  // names the unit in the title.
  virtual void setSource(const QString& source) = 0;
  // A write put the configuration in the window into the unit.
  virtual void WrittenToUnit() = 0;
  // A write failed or was stopped after it had begun to send: the unit
  // holds no configuration now.
  virtual void WriteFailed() = 0;

 protected:
  ~CommandHost() = default;
};

}  // namespace vexa::ui
