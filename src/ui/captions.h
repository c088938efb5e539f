// Small helpers the window's parts share for captions and coloured texts.
#pragma once

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QString>

namespace vexa::ui {

// A caption, optionally named and the buddy of a control.
inline QLabel* MakeCaption(const QString& text, const char* objectName = nullptr, QWidget* buddy = nullptr) {
  auto* label = new QLabel(text);
  if (objectName != nullptr) label->setObjectName(QString::fromLatin1(objectName));
  if (buddy != nullptr) label->setBuddy(buddy);
  return label;
}

// A caption text as an accessible name: without mnemonics, trailing colon
// and line breaks.
inline QString AccessibleFromCaption(QString caption) {
  caption.remove(QLatin1Char('&'));
  caption.replace(QLatin1Char('\n'), QLatin1Char(' '));
  caption = caption.simplified();
  while (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
  return caption.trimmed();
}

inline void SetTextColour(QWidget* w, const QColor& colour) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, colour);
  p.setColor(QPalette::Text, colour);
  w->setPalette(p);
}

}  // namespace vexa::ui
