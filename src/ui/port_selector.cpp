#include "ui/port_selector.h"

#include <QSignalBlocker>

#include "link/port_names.h"
#include "texts/texts.h"

namespace vexa::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

PortSelector::PortSelector(const link::PortList* ports, QWidget* parent)
    : QComboBox(parent), ports_(ports), dosDevicesDir_(link::DefaultDosDevicesDir()) {
  connect(this, &QComboBox::currentIndexChanged, this, [this] { emit deviceNoteChanged(deviceNote()); });
  refresh();
}

void PortSelector::setDosDevicesDir(const std::string& dir) {
  dosDevicesDir_ = dir.empty() ? link::DefaultDosDevicesDir() : dir;
  refresh();
}

void PortSelector::refresh() {
  const std::vector<link::SystemPort> system = ports_ ? ports_->SystemPorts() : std::vector<link::SystemPort>{};
  const QString chosen = currentText();
  {
    const QSignalBlocker quiet(this);
    clear();
    for (const link::PortEntry& e : link::PortSelectorEntries(system, dosDevicesDir_)) {
      addItem(Q(e.text), Q(e.device));
      setItemData(count() - 1, Q(e.device), Qt::ToolTipRole);
    }
    if (!chosen.isEmpty()) {
      int i = findText(chosen);
      if (i < 0) {
        // Its adapter has gone: the choice stays, opening it will say why.
        const QString device = Q(link::ResolvePortChoice(chosen.toStdString(), system, dosDevicesDir_));
        addItem(chosen, device);
        setItemData(count() - 1, device, Qt::ToolTipRole);
        i = count() - 1;
      }
      setCurrentIndex(i);
    }
  }
  emit deviceNoteChanged(deviceNote());
}

QString PortSelector::currentDevice() const { return currentData().toString(); }

QString PortSelector::deviceNote() const {
  const QString device = currentDevice();
  return device.isEmpty() ? QString() : Q(texts::PortDeviceNote(device.toStdString()));
}

void PortSelector::showPopup() {
  refresh();
  QComboBox::showPopup();
}

}  // namespace vexa::ui
