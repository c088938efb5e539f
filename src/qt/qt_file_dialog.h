// The open and save dialogs of the configuration file: one dialog with the
// filter "EEPROM (*.eep)", created on first use and kept. The save dialog
// proposes the file now in the window (last loaded or saved), else the folder
// last saved to; the open dialog proposes the file last opened, else the
// folder last opened from. A file picked for comparing is never proposed for
// saving. The backup folder is in the open dialog's side bar.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "platform/services.h"

class QFileDialog;

namespace vexa::qt {

// The filter as the program states it ("name|pattern") and as Qt shows it.
inline constexpr const char* kEepFilter = "EEPROM (*.eep)|*.eep";
QString QtFilterOf(const QString& filter);

class QtFileDialog : public FileDialog {
 public:
  explicit QtFileDialog(QWidget* owner);
  ~QtFileDialog() override;

  std::optional<std::string> AskOpen() override;
  std::optional<std::string> AskSave() override;
  std::optional<std::string> AskCompare() override;
  void SetCurrentFile(const std::string& path) override;

  // The path the save dialog proposes next time ("" before the first file).
  QString lastPath() const { return current_; }
  void setLastPath(const QString& path) { SetCurrentFile(path.toStdString()); }

  // The folders last opened from and saved to (kept between runs).
  QString openFolder() const;
  QString saveFolder() const;
  void setOpenFolder(const QString& folder) { openFolder_ = folder; }
  void setSaveFolder(const QString& folder) { saveFolder_ = folder; }

  // The dialog, configured for opening, comparing or saving but not shown;
  // for tests.
  QFileDialog& prepareOpen();
  QFileDialog& prepareCompare();
  QFileDialog& prepareSave();

 private:
  QFileDialog& dialog();
  QFileDialog& PrepareOpen(const QString& title);
  std::optional<QString> Run(QFileDialog& d);

  QPointer<QWidget> owner_;
  QPointer<QFileDialog> dialog_;
  QString current_;     // the file in the window
  QString lastOpened_;  // the file last opened (or the one in the window)
  QString openFolder_;
  QString saveFolder_;
};

}  // namespace vexa::qt
