// The file commands of the main window: btFileSave saves the configuration
// into a ".eep" file, btFileLoad loads one, and a file named on the command
// line or dropped on the window loads as btFileLoad would load it. Before the
// configuration is left behind, unsaved edits are asked about (a save on the
// way names its file in the title).
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "workflows/config_origin.h"

class QAbstractButton;
class QWidget;

namespace vexa {
struct Workspace;
struct Services;
}  // namespace vexa

namespace vexa::ui {

class CommandRunner;

class FileCommands : public QObject {
 public:
  struct Parts {
    Workspace& ws;
    Services& sv;
    ConfigOrigin& origin;     // where the configuration came from
    CommandRunner& commands;  // a load from outside runs as a command
    QAbstractButton& load;    // btFileLoad: a drop is taken while it is enabled
  };
  // A child of `window`, taking the files dropped on it.
  FileCommands(const Parts& parts, QWidget& window);

  // btFileSave: asks for the file and saves.
  void Save();
  // btFileLoad: loads `path`, or the file the open dialog gives when null.
  void Load(const std::string* path = nullptr);
  // Loads a file chosen outside the window through the load command, without
  // its dialog. Refused while a command runs.
  void Open(const QString& path);
  // Asks about unsaved edits before the configuration is left behind; true:
  // go on (saved, or the user let them go).
  bool MayLeaveEdits();
  const ConfigOrigin& origin() const { return parts_.origin; }

  // Names the configuration's source (its file) in the window's title.
  std::function<void(const QString&)> showSource;
  // Shows a note in the window's status line.
  std::function<void(const QString&)> showStatus;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool TakesDrops() const;

  Parts parts_;
};

}  // namespace vexa::ui
