#include "qt/qt_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "texts/texts_window.h"

namespace vexa::qt {
namespace {

QMessageBox::Icon IconOf(Icon icon) {
  switch (icon) {
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    case Icon::Question: return QMessageBox::Question;
  }
  return QMessageBox::Information;
}

// Messages join their lines with CR LF; a label wants plain line feeds.
QString DisplayText(const std::string& text) {
  QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

}  // namespace

void QtMessageBox::Prepare(QMessageBox& box, Icon icon, const std::string& text, Buttons buttons, bool noByDefault) {
  box.setObjectName(QStringLiteral("MsgBox"));
  box.setWindowTitle(QString::fromUtf8(kAppTitle));
  box.setIcon(IconOf(icon));
  // Character sets such as "<.>" are part of some messages: never rich text.
  box.setTextFormat(Qt::PlainText);
  box.setText(DisplayText(text));
  switch (buttons) {
    case Buttons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      box.setDefaultButton(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
      break;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(noByDefault ? QMessageBox::No : QMessageBox::Yes);
      box.setEscapeButton(QMessageBox::No);
      break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Yes);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
  }
  if (auto* b = box.button(QMessageBox::Ok)) b->setText(QStringLiteral("OK"));
  if (auto* b = box.button(QMessageBox::Yes)) b->setText(QString::fromUtf8(texts::kButtonYes));
  if (auto* b = box.button(QMessageBox::No)) b->setText(QString::fromUtf8(texts::kButtonNo));
  if (auto* b = box.button(QMessageBox::Cancel)) b->setText(QString::fromUtf8(texts::kButtonStorno));
}

Answer QtMessageBox::ShowWithButton(Icon icon, const std::string& text, const std::string& extra) {
  QWidget* parent = QApplication::activeModalWidget();
  if (parent == nullptr) parent = owner_.data();
  QMessageBox box(parent);
  Prepare(box, icon, text, Buttons::Ok);
  QPushButton* button =
      box.addButton(QString::fromUtf8(extra.data(), static_cast<qsizetype>(extra.size())), QMessageBox::ActionRole);
  box.exec();
  return box.clickedButton() == button ? Answer::Extra : Answer::Ok;
}

Answer QtMessageBox::Show(Icon icon, const std::string& text, Buttons buttons) {
  return Run(icon, text, buttons, false);
}

Answer QtMessageBox::AskNoByDefault(Icon icon, const std::string& text) {
  return Run(icon, text, Buttons::YesNo, true);
}

Answer QtMessageBox::Run(Icon icon, const std::string& text, Buttons buttons, bool noByDefault) {
  // A box raised while a row editor or another modal dialog is open stands
  // over that dialog, not behind it.
  QWidget* parent = QApplication::activeModalWidget();
  if (parent == nullptr) parent = owner_.data();
  QMessageBox box(parent);
  Prepare(box, icon, text, buttons, noByDefault);
  const int chosen = box.exec();
  switch (chosen) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: break;
  }
  // Closed some other way: the answer that changes nothing.
  switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::YesNoCancel: return Answer::Cancel;
  }
  return Answer::Ok;
}

}  // namespace vexa::qt
