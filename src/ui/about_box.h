// The about box "InfoProgram": the program's version and the versions of the
// unit's processor and protocol it works with.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace vexa::ui {

// The text of the about box, its lines separated by CR LF.
QString AboutText();

// The program's icon: the installed theme icon "vexa-init" when the desktop
// provides one, otherwise a drawn one (the program carries no image files).
QIcon ProgramIcon();

class AboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit AboutBox(QWidget* owner);

  QPlainTextEdit* textField() const { return text_; }
  QPushButton* closeButton() const { return zavrit_; }

 private:
  QPlainTextEdit* text_ = nullptr;
  QPushButton* zavrit_ = nullptr;
};

}  // namespace vexa::ui
