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
  // Where the configuration in the window came from, shown in the title.
  virtual void setSource(const QString& source) = 0;

 protected:
  ~CommandHost() = default;
};

}  // namespace vexa::ui
