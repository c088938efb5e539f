// A main window over scripted services, shown and active, for the window
// tests.
#pragma once

#include <gtest/gtest.h>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <string>

#include "ui/fakes.h"
#include "support/find_child.h"
#include "ui/command_runner.h"
#include "ui/field_controller.h"
#include "ui/main_window.h"
#include "ui/port_selector.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"
#include "support/find_child.h"

namespace vexa::ui::testing {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>(ws, fx.services);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  void TearDown() override {
    window.reset();
    QCoreApplication::processEvents();
  }

  template <typename T = QWidget>
  T* Find(const QString& name) const {
    T* w = window->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
  }
  QLineEdit* Edit(const QString& name) const { return Find<QLineEdit>(name); }
  QCheckBox* Check(const QString& name) const { return Find<QCheckBox>(name); }
  QLabel* Label(const QString& name) const { return Find<QLabel>(name); }

  // Lets the window handle what is waiting (the rules of a field left).
  static void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  // Puts the focus into a field, as a click would.
  void Enter(QWidget* w) {
    window->FocusField(FieldRefOf(w));
    if (!w->hasFocus()) w->setFocus(Qt::MouseFocusReason);
    Settle();
  }
  // Replaces a field's text by typing, with the focus in the field.
  void Type(QLineEdit* edit, const QString& text) {
    Enter(edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    TypeText(edit, text);
  }
  // Keystrokes for every character, Czech letters included.
  static void TypeText(QWidget* w, const QString& text) {
    for (const QChar ch : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(w, &press);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(w, &release);
    }
  }
  // Moves the focus on to another control of the window and lets the rules
  // of the field left run.
  void MoveTo(QWidget* w) {
    w->setFocus(Qt::TabFocusReason);
    Settle();
  }

  // The window's bound fields and its command runner, found by their names.
  FieldController& Fields() const { return *Child<FieldController>(*window, "Fields"); }
  CommandRunner& Commands() const { return *Child<CommandRunner>(*window, "Commands"); }

  FieldRef FieldRefOf(QWidget* w) const {
    for (int i = 0; i < kFieldCount; ++i) {
      for (int row = 0; row < kRows; ++row) {
        const FieldRef f{static_cast<Field>(i), row};
        if (Fields().control(f) == w || Fields().textEdit(f) == w) return f;
      }
    }
    return {Field::JmenoStanice, 0};
  }

  std::string Usage() const { return Child<QLabel>(*window, "lblInfoVelikost")->text().toStdString(); }
  std::string Free() const { return Child<QLabel>(*window, "lblInfoVolno")->text().toStdString(); }
  QColor FreeColour() const { return Child<QLabel>(*window, "lblInfoVolno")->palette().color(QPalette::WindowText); }
  // The figures the core gives for a configuration, as the window shows them.
  static MemoryUsage CoreUsage(const DeviceConfig& c, const std::string& memory = "?") {
    return UpdateMemoryUsage(c, memory);
  }
  static QColor ColourOf(Rgb c) { return QColor(c.r, c.g, c.b); }

  Workspace ws;
  fake::FakeServices fx;
  std::unique_ptr<MainWindow> window;
};

inline QString Cell(const char* name, int row) { return QString::fromLatin1(name) + QString::number(row); }

}  // namespace vexa::ui::testing
