// A control of a window found by its object name, as a user's script would
// find it.
#pragma once

#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QLabel>
#include <QObject>
#include <QString>
#include <string>

namespace vexa::ui::testing {

template <typename T = QObject>
T* Child(const QObject& parent, const char* name) {
  T* child = parent.findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) ADD_FAILURE() << "no control " << name;
  return child;
}

// The text of a label, empty (and a failure) when there is none.
inline std::string LabelText(const QObject& parent, const char* name) {
  const QLabel* label = Child<QLabel>(parent, name);
  return label == nullptr ? std::string() : label->text().toStdString();
}

// Clicks a button a user could click: it must be there and enabled.
inline void ClickEnabled(const QObject& parent, const char* name) {
  QAbstractButton* b = Child<QAbstractButton>(parent, name);
  ASSERT_NE(b, nullptr) << name;
  ASSERT_TRUE(b->isEnabled()) << name;
  b->click();
}

}  // namespace vexa::ui::testing
