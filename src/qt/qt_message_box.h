// Message boxes on Qt: modal, captioned "VEXA Init", with the icon of the
// message's kind and Czech buttons; returns the button the user chose.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "platform/services.h"

class QMessageBox;

namespace vexa::qt {

class QtMessageBox : public MessageBox {
 public:
  // `owner` is the window the boxes stand over when no modal dialog is open.
  explicit QtMessageBox(QWidget* owner) : owner_(owner) {}

  Answer Show(Icon icon, const std::string& text, Buttons buttons = Buttons::Ok) override;
  Answer ShowWithButton(Icon icon, const std::string& text, const std::string& extra) override;
  Answer AskNoByDefault(Icon icon, const std::string& text) override;

  // Prepares (but does not run) the box that Show would run; for tests.
  // `noByDefault`: Enter answers No (a Yes/No box).
  static void Prepare(QMessageBox& box, Icon icon, const std::string& text, Buttons buttons, bool noByDefault = false);

 private:
  Answer Run(Icon icon, const std::string& text, Buttons buttons, bool noByDefault);

  QPointer<QWidget> owner_;
};

}  // namespace vexa::qt
