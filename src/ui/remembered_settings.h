// What the program remembers between runs, kept with QSettings in
// $XDG_CONFIG_HOME/vexa-init/vexa-init.conf (else ~/.config/vexa-init/): the
// serial port, the transfer check boxes (not the backup box), the folders last used for opening,
// saving and printing to PDF, and the main window's size and position. The
// configuration itself is not among them: every run starts from the start-up
// configuration.
//
// A USB adapter is remembered by its serial number (else its device path),
// so that it is found again under another /dev name; "COM n" is remembered as
// such. A file that cannot be read, or holds values of the wrong kind, gives
// the defaults for what it spoils; it never stops the program.
#pragma once

#include <QByteArray>
#include <QString>

#include "model/device_config.h"
#include "model/fields.h"

class QMainWindow;

namespace vexa {
struct Workspace;
struct Services;
}  // namespace vexa

namespace vexa::ui {

class PortSelector;
class Printing;
class SettingsPanel;

// A remembered check box of the settings panel: a program setting of the
// field table, kept in the file under the field's name.
struct RememberedBox {
  Field field;
  const char* key;
  bool ProgramSettings::*setting;
};
constexpr RememberedBox Remember(Field field) {
  return {field, InfoOf(field).name, std::get<bool ProgramSettings::*>(InfoOf(field).member)};
}
// A new box is one more line here. "Zálohovat před zápisem" is not among
// them: switched off it would silently go on skipping the backup in later
// runs, so every run starts with it ticked.
inline constexpr RememberedBox kRememberedBoxes[] = {
    Remember(Field::CheckWrite),
    Remember(Field::FullRead),
    Remember(Field::FullWrite),
};

struct RememberedPort {
  enum class Kind { None, Com, Serial, Device };
  Kind kind = Kind::None;
  QString value;  // "COM 2", the adapter's serial number, or "/dev/ttyUSB0"
};

struct Remembered {
  ProgramSettings settings;  // the remembered boxes are taken from here
  RememberedPort port;
  QString openFolder, saveFolder, pdfFolder;
  QByteArray geometry;  // QWidget::saveGeometry
};

// $XDG_CONFIG_HOME/vexa-init/vexa-init.conf, else ~/.config/vexa-init/...
QString RememberedSettingsFile();

// The defaults where the file is missing or a value is damaged.
Remembered ReadRemembered(const QString& file);
// False when the file could not be written.
bool WriteRemembered(const QString& file, const Remembered& remembered);

// The parts of the main window whose values are remembered.
struct RememberedParts {
  Workspace& ws;
  Services& sv;              // the port list and the file dialog
  QMainWindow& window;       // its geometry and status line
  PortSelector& selector;
  SettingsPanel& settings;   // the check boxes
  Printing* printing;        // the PDF folder; null without printing
};

// What the window shows now.
Remembered CollectRemembered(const RememberedParts& parts);
// Puts the remembered values into the window: the boxes, the port (a
// remembered adapter that is not connected leaves "COM 1" selected and says
// so in the status line), the dialogs' folders and the window's geometry.
void ApplyRemembered(const RememberedParts& parts, const Remembered& remembered);

// Reads `file` into the window now and writes the window's values back when
// the program ends.
void AttachRememberedSettings(const RememberedParts& parts, const QString& file);

}  // namespace vexa::ui
