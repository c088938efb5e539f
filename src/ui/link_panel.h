// The panel "Komunikace PC se zařízením": the serial port selector tabPort
// ("COM 1".."COM 4" and the system's ports),
// the link state tabDeAktivNapis and the button btDEA that activates and
// releases the unit. The look of each link state is the core's (LookOf).
#pragma once

#include <QGroupBox>
#include <optional>

#include "workspace/workspace.h"

class QLabel;
class QPushButton;

namespace vexa::link {
class PortList;
}

namespace vexa::ui {

class FieldController;
class PortSelector;

class LinkPanel : public QGroupBox {
  Q_OBJECT
 public:
  // `ports` lists the system's serial ports (null: "COM 1".."COM 4" only).
  LinkPanel(FieldController& fields, const link::PortList* ports);

  PortSelector* tabPort() const { return tabPort_; }
  QLabel* tabDeAktivNapis() const { return tabDeAktivNapis_; }
  QPushButton* btDEA() const { return btDEA_; }

  // Shows a link state; answers whether the EEPROM buttons are to be enabled
  // (nullopt: as they are).
  std::optional<bool> Show(LinkState state);

 private:
  PortSelector* tabPort_ = nullptr;
  QLabel* tabDeAktivNapis_ = nullptr;
  QPushButton* btDEA_ = nullptr;
};

}  // namespace vexa::ui
