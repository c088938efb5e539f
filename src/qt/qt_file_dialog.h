// The open and save dialogs of the configuration file: one dialog with the
// filter "EEPROM (*.eep)", created on first use and kept, proposing the last
// chosen path while the program runs.
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

  // The path proposed next time ("" before the first choice).
  QString lastPath() const { return last_; }
  void setLastPath(const QString& path) { last_ = path; }

  // The dialog, configured for opening or saving but not shown; for tests.
  QFileDialog& prepareOpen();
  QFileDialog& prepareSave();

 private:
  QFileDialog& dialog();
  std::optional<std::string> Run(QFileDialog& d);

  QPointer<QWidget> owner_;
  QPointer<QFileDialog> dialog_;
  QString last_;
};

}  // namespace vexa::qt
