// The panel "Informace o připojeném zařízení": what the unit reported about
// itself, and the EEPROM usage of the configuration with the space left.
#pragma once

#include <QGroupBox>

class QLabel;

namespace vexa {
struct DeviceInfo;
struct MemoryUsage;
}  // namespace vexa

namespace vexa::ui {

class InfoPanel : public QGroupBox {
  Q_OBJECT
 public:
  InfoPanel();

  void ShowDevice(const DeviceInfo& device);
  void ShowUsage(const MemoryUsage& usage);

  QLabel* lblInfoProdukt() const { return lblInfoProdukt_; }
  QLabel* lblInfoVerze() const { return lblInfoVerze_; }
  QLabel* lblInfoModem() const { return lblInfoModem_; }
  QLabel* lblInfoPamSize() const { return lblInfoPamSize_; }
  QLabel* lblInfoVelikost() const { return lblInfoVelikost_; }
  QLabel* lblInfoVolno() const { return lblInfoVolno_; }

 private:
  QLabel* lblInfoProdukt_ = nullptr;
  QLabel* lblInfoVerze_ = nullptr;
  QLabel* lblInfoModem_ = nullptr;
  QLabel* lblInfoPamSize_ = nullptr;
  QLabel* lblInfoVelikost_ = nullptr;
  QLabel* lblInfoVolno_ = nullptr;
};

}  // namespace vexa::ui
