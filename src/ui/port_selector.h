// The port selector "Sériový port": "COM 1".."COM 4" first, then every
// serial port the system has, shown with the adapter's description and
// serial number where known. The list is asked afresh each time it is
// opened, so an adapter plugged in meanwhile appears; the chosen entry stays
// chosen (also when its adapter has gone, so that opening it says why it
// fails).
//
// Each entry carries the device it opens (Qt::UserRole, also its tooltip in
// the open list); deviceNote() says it for the selected entry.
#pragma once

#include <QComboBox>
#include <string>

namespace vexa::link {
class PortList;
}

namespace vexa::ui {

class PortSelector : public QComboBox {
  Q_OBJECT
 public:
  // `ports` may be null: "COM 1".."COM 4" only. "COM n" are found through
  // `dosDevicesDir` (the user's ~/.vexa/dosdevices when empty).
  explicit PortSelector(const link::PortList* ports, QWidget* parent = nullptr);

  void setDosDevicesDir(const std::string& dir);

  // Asks the system for its ports and rebuilds the entries; the current
  // choice is kept and no change of it is signalled.
  void refresh();

  // The device the selected entry opens.
  QString currentDevice() const;
  // "Vybraný port otevírá zařízení /dev/ttyS0."
  QString deviceNote() const;

  // Refreshes the list, then opens it.
  void showPopup() override;

 signals:
  // The selected entry or the device it opens changed.
  void deviceNoteChanged(const QString& note);


 private:
  const link::PortList* ports_;
  std::string dosDevicesDir_;
};

}  // namespace vexa::ui
