// The open and save dialogs of the configuration file: one dialog with the
// filter "EEPROM (*.eep)", created on first use and kept. Each time it opens
// it starts afresh, never from the name it showed last: the save dialog from
// the proposal it was given (a bare name goes into the folder last saved
// to); the open dialog from the file now in the window, else the folder last
// opened from; the compare dialog from the file last compared. The backup
// folder is in the side bar as "Zálohy zařízení".
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
  void ProposeSave(const std::string& proposal) override;

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
  QFileDialog& PrepareOpen(const QString& title, const QString& file);
  std::optional<QString> Run(QFileDialog& d);

  QPointer<QWidget> owner_;
  QPointer<QFileDialog> dialog_;
  QString current_;      // the file in the window
  QString lastOpened_;   // the file last opened, compared, loaded or saved
  QString lastCompared_; // the file last compared
  QString proposal_;     // what the save dialog starts from
  QString openFolder_;
  QString saveFolder_;
};

}  // namespace vexa::qt
