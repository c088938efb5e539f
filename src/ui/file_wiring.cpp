#include "ui/file_wiring.h"

#include <QAbstractButton>
#include <QDropEvent>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

#include "texts/texts.h"
#include "ui/command_runner.h"
#include "ui/file_drop.h"
#include "workflows/file_workflows.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

QString FileNameOf(const std::string& path) { return QFileInfo(QString::fromStdString(path)).fileName(); }

}  // namespace

FileCommands::FileCommands(const Parts& parts, QWidget& window) : QObject(&window), parts_(parts) {
  setObjectName(QStringLiteral("FileWiring"));
  window.setAcceptDrops(true);  // a .eep file dropped on the window is loaded
  window.installEventFilter(this);
}

void FileCommands::Save() {
  if (SaveConfigAs(parts_.ws, parts_.sv, parts_.origin) != FileOutcome::Completed) return;
  const QString name = FileNameOf(parts_.origin.file);
  showSource(name);
  showStatus(QString::fromStdString(texts::SavedToFileStatus(name.toStdString())));
}

void FileCommands::Load(const std::string* path) {
  if (!MayLeaveEdits()) return;
  if (OpenConfig(parts_.ws, parts_.sv, parts_.origin, path) == FileOutcome::Completed) {
    showSource(FileNameOf(parts_.origin.file));
  }
}

// A file named on the command line (or dropped on the window) loads through
// the same workflow as "Načíst ze souboru"; refused while a command runs.
void FileCommands::Open(const QString& path) {
  parts_.commands.Run([this, p = path.toStdString()] { Load(&p); });
}

bool FileCommands::MayLeaveEdits() {
  const bool mayLeave = vexa::MayLeaveEdits(parts_.ws, parts_.sv, parts_.origin);
  // Saved on the way: the title names the file.
  if (!parts_.origin.file.empty()) showSource(FileNameOf(parts_.origin.file));
  return mayLeave;
}

// A dropped file is taken like a click on btFileLoad: not while a command
// runs (the command runner has disabled the button then).
bool FileCommands::TakesDrops() const { return !parts_.commands.running() && parts_.load.isEnabled(); }

bool FileCommands::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::DragEnter) {
    auto* enter = static_cast<QDragEnterEvent*>(event);
    if (TakesDrops() && !DroppedConfigFile(enter->mimeData()).isEmpty()) enter->acceptProposedAction();
    return true;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = TakesDrops() ? DroppedConfigFile(drop->mimeData()) : QString();
    if (path.isEmpty()) return true;
    drop->acceptProposedAction();
    // Loaded once the drop has ended: its messages must not hold up the
    // program the file came from.
    QTimer::singleShot(0, this, [this, path] { Open(path); });
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vexa::ui
