#include "ui/remembered_settings.h"

#include <QCheckBox>
#include <QMainWindow>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

#include "link/port_names.h"
#include "qt/qt_file_dialog.h"
#include "platform/services.h"
#include "ui/port_selector.h"
#include "ui/print_wiring.h"
#include "ui/settings_panel.h"
#include "workspace/workspace.h"
#include "texts/texts.h"

namespace vexa::ui {
namespace {

// A remembered adapter that was not connected at the start: kept on the
// selector until the user chooses another port, so that it is remembered
// again rather than replaced by the "COM 1" shown meanwhile.
constexpr const char* kMissingKind = "vexaMissingPortKind";
constexpr const char* kMissingValue = "vexaMissingPortValue";

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// "COM n" as the selector writes it: the port naming's own reading of it,
// and no other spelling.
bool IsComChoice(const QString& text) {
  const auto n = link::PortNumberOf(text.toStdString());
  return n && text == QStringLiteral("COM %1").arg(*n);
}

QString KindName(RememberedPort::Kind kind) {
  switch (kind) {
    case RememberedPort::Kind::Com: return QStringLiteral("com");
    case RememberedPort::Kind::Serial: return QStringLiteral("serial");
    case RememberedPort::Kind::Device: return QStringLiteral("device");
    case RememberedPort::Kind::None: break;
  }
  return QString();
}

RememberedPort PortOf(const QString& kind, const QString& value) {
  RememberedPort port;
  if (kind == QLatin1String("com") && IsComChoice(value)) {
    port = {RememberedPort::Kind::Com, value};
  } else if (kind == QLatin1String("serial") && !value.trimmed().isEmpty()) {
    port = {RememberedPort::Kind::Serial, value};
  } else if (kind == QLatin1String("device") && value.startsWith(QLatin1Char('/'))) {
    port = {RememberedPort::Kind::Device, value};
  }
  return port;
}

// A folder value: an absolute path, else nothing.
QString FolderOf(const QVariant& v) {
  if (v.typeId() != QMetaType::QString) return QString();
  const QString folder = v.toString();
  return QDir::isAbsolutePath(folder) ? folder : QString();
}

std::vector<link::SystemPort> SystemPortsOf(const RememberedParts& parts) {
  const link::PortList* ports = parts.sv.ports;
  return ports ? ports->SystemPorts() : std::vector<link::SystemPort>{};
}

qt::QtFileDialog* FileDialogOf(const RememberedParts& parts) {
  return dynamic_cast<qt::QtFileDialog*>(parts.sv.files);
}

// Selects the selector's entry opening `device`; false when there is none.
bool SelectDevice(PortSelector& selector, const QString& device) {
  for (int i = link::kComEntries; i < selector.count(); ++i) {
    if (selector.itemData(i).toString() == device) {
      selector.setCurrentIndex(i);
      return true;
    }
  }
  return false;
}

void ApplyPort(const RememberedParts& parts, const RememberedPort& port) {
  PortSelector* selector = &parts.selector;
  if (port.kind == RememberedPort::Kind::None) return;
  if (port.kind == RememberedPort::Kind::Com) {
    const int i = selector->findText(port.value);
    if (i >= 0) selector->setCurrentIndex(i);
    return;
  }
  selector->refresh();
  // The adapter by its serial number, or the device itself, when connected.
  const bool bySerial = port.kind == RememberedPort::Kind::Serial;
  for (const link::SystemPort& p : SystemPortsOf(parts)) {
    if (Q(bySerial ? p.serialNumber : p.device) != port.value) continue;
    if (SelectDevice(*selector, Q(p.device))) return;
    break;
  }
  selector->setCurrentIndex(0);
  selector->setProperty(kMissingKind, KindName(port.kind));
  selector->setProperty(kMissingValue, port.value);
  QObject::connect(selector, &QComboBox::activated, selector, [selector] {
    selector->setProperty(kMissingKind, QVariant());
    selector->setProperty(kMissingValue, QVariant());
  });
  // Said once the window is up: a status line message given before the
  // window is shown would share the line with the port's device note.
  const std::string chosen = selector->currentText().toStdString();
  const QString note = QString::fromStdString(port.kind == RememberedPort::Kind::Serial
                                                  ? texts::MissingSerialAdapterNote(port.value.toStdString(), chosen)
                                                  : texts::MissingPortNote(port.value.toStdString(), chosen));
  QTimer::singleShot(0, &parts.window, [w = QPointer<QMainWindow>(&parts.window), note] {
    if (w) w->statusBar()->showMessage(note);
  });
}

RememberedPort CollectPort(const RememberedParts& parts) {
  PortSelector* selector = &parts.selector;
  const QString missing = selector->property(kMissingKind).toString();
  if (!missing.isEmpty()) return PortOf(missing, selector->property(kMissingValue).toString());
  const QString text = Q(parts.ws.settings.Port);
  if (IsComChoice(text)) return {RememberedPort::Kind::Com, text};
  const QString device = selector->currentDevice();
  for (const link::SystemPort& p : SystemPortsOf(parts)) {
    if (Q(p.device) == device && !p.serialNumber.empty()) return {RememberedPort::Kind::Serial, Q(p.serialNumber)};
  }
  return device.startsWith(QLatin1Char('/')) ? RememberedPort{RememberedPort::Kind::Device, device}
                                             : RememberedPort{};
}

}  // namespace

QString RememberedSettingsFile() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
  return base + QStringLiteral("/vexa-init/vexa-init.conf");
}

Remembered ReadRemembered(const QString& file) {
  Remembered r;
  if (!QFileInfo(file).isFile()) return r;
  QSettings s(file, QSettings::IniFormat);
  if (s.status() != QSettings::NoError) return r;
  for (const RememberedBox& box : kRememberedBoxes) {
    const QString v = s.value(QStringLiteral("boxes/") + QLatin1String(box.key)).toString();
    if (v == QLatin1String("true") || v == QLatin1String("false")) r.settings.*box.setting = v == QLatin1String("true");
  }
  r.port = PortOf(s.value(QStringLiteral("port/kind")).toString(), s.value(QStringLiteral("port/value")).toString());
  r.openFolder = FolderOf(s.value(QStringLiteral("folders/open")));
  r.saveFolder = FolderOf(s.value(QStringLiteral("folders/save")));
  r.pdfFolder = FolderOf(s.value(QStringLiteral("folders/pdf")));
  const QVariant geometry = s.value(QStringLiteral("window/geometry"));
  if (geometry.typeId() == QMetaType::QByteArray) r.geometry = geometry.toByteArray();
  return r;
}

bool WriteRemembered(const QString& file, const Remembered& r) {
  QDir().mkpath(QFileInfo(file).absolutePath());
  QSettings s(file, QSettings::IniFormat);
  s.clear();
  for (const RememberedBox& box : kRememberedBoxes) {
    s.setValue(QStringLiteral("boxes/") + QLatin1String(box.key),
               r.settings.*box.setting ? QStringLiteral("true") : QStringLiteral("false"));
  }
  if (r.port.kind != RememberedPort::Kind::None) {
    s.setValue(QStringLiteral("port/kind"), KindName(r.port.kind));
    s.setValue(QStringLiteral("port/value"), r.port.value);
  }
  if (!r.openFolder.isEmpty()) s.setValue(QStringLiteral("folders/open"), r.openFolder);
  if (!r.saveFolder.isEmpty()) s.setValue(QStringLiteral("folders/save"), r.saveFolder);
  if (!r.pdfFolder.isEmpty()) s.setValue(QStringLiteral("folders/pdf"), r.pdfFolder);
  if (!r.geometry.isEmpty()) s.setValue(QStringLiteral("window/geometry"), r.geometry);
  s.sync();
  return s.status() == QSettings::NoError;
}

Remembered CollectRemembered(const RememberedParts& parts) {
  Remembered r;
  r.settings = parts.ws.settings;
  r.port = CollectPort(parts);
  if (qt::QtFileDialog* files = FileDialogOf(parts)) {
    r.openFolder = files->openFolder();
    r.saveFolder = files->saveFolder();
  }
  if (parts.printing != nullptr) r.pdfFolder = parts.printing->pdfFolder;
  r.geometry = parts.window.saveGeometry();
  return r;
}

void ApplyRemembered(const RememberedParts& parts, const Remembered& r) {
  for (const RememberedBox& box : kRememberedBoxes) {
    const bool on = r.settings.*box.setting;
    parts.ws.settings.*box.setting = on;
    if (QCheckBox* check = parts.settings.settingBox(box.field)) check->setChecked(on);
  }
  ApplyPort(parts, r.port);
  if (qt::QtFileDialog* files = FileDialogOf(parts)) {
    if (QFileInfo(r.openFolder).isDir()) files->setOpenFolder(r.openFolder);
    if (QFileInfo(r.saveFolder).isDir()) files->setSaveFolder(r.saveFolder);
  }
  if (parts.printing != nullptr && QFileInfo(r.pdfFolder).isDir()) parts.printing->pdfFolder = r.pdfFolder;
  if (!r.geometry.isEmpty()) parts.window.restoreGeometry(r.geometry);
}

void AttachRememberedSettings(const RememberedParts& parts, const QString& file) {
  ApplyRemembered(parts, ReadRemembered(file));
  // The parts live as long as the window; the printing is its child.
  QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &parts.window,
                   [parts, w = QPointer<QMainWindow>(&parts.window), file] {
                     if (w) WriteRemembered(file, CollectRemembered(parts));
                   });
}

}  // namespace vexa::ui
