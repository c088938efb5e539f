// A control of a window found by its object name, as a user's script would
// find it.
#pragma once

#include <gtest/gtest.h>
#include <QObject>
#include <QString>

namespace vexa::ui::testing {

template <typename T = QObject>
T* Child(const QObject& parent, const char* name) {
  T* child = parent.findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) ADD_FAILURE() << "no control " << name;
  return child;
}

}  // namespace vexa::ui::testing
