// Driving the modal row editors in tests: the opener runs exec(), so the test
// script runs from the event loop while the dialog is up.
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "ui/fakes.h"
#include "ui/row_editors.h"
#include "workspace/workspace.h"
#include "support/find_child.h"

namespace vexa::ui::testing {

// Runs `open` (an opener that shows `dialog` modally) and `script` while the
// dialog is up. A script that leaves the dialog open (an assertion failed, or
// it meant to) gets it cancelled, so a test never hangs; the return value
// says whether that happened.
inline bool WhileOpen(QDialog& dialog, const std::function<void()>& open, const std::function<void()>& script) {
  bool leftOpen = false;
  QTimer::singleShot(0, &dialog, [&] {
    if (!QTest::qWaitForWindowActive(&dialog)) ADD_FAILURE() << "the editor never became active";
    script();
    if (dialog.isVisible()) {
      leftOpen = true;
      dialog.reject();
    }
  });
  open();
  return leftOpen;
}

inline std::string Text(QWidget& parent, const char* name) {
  auto* e = Child<QLineEdit>(parent, name);
  return e ? e->text().toStdString() : std::string("<missing>");
}

inline void SetText(QWidget& parent, const char* name, const std::string& text) {
  if (auto* e = Child<QLineEdit>(parent, name)) e->setText(QString::fromStdString(text));
}

// Moves the focus from one control to another as the user would, and lets
// the rules that run after a field lost the focus run.
inline void MoveFocus(QWidget* from, QWidget* to) {
  from->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  to->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
}

// The configuration, the fakes and the openers, over no main window.
struct EditorFixture : ::testing::Test {
  Workspace ws;
  fake::FakeServices fx;
  RowEditors editors{ws, fx.services, nullptr};
};

}  // namespace vexa::ui::testing
