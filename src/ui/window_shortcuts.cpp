#include "ui/window_shortcuts.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

#include "ui/main_window.h"

namespace vexa::ui {

void AttachShortcuts(MainWindow& window) {
  struct Binding {
    QKeyCombination keys;
    QAbstractButton* button;
  };
  const Binding bindings[] = {
      {Qt::CTRL | Qt::Key_O, window.btFileLoad()},
      {Qt::CTRL | Qt::Key_S, window.btFileSave()},
      {Qt::CTRL | Qt::Key_P, window.btTisk()},
      {Qt::CTRL | Qt::Key_Q, window.btKonec()},
  };
  for (const Binding& b : bindings) {
    auto* shortcut = new QShortcut(QKeySequence(b.keys), &window);
    QObject::connect(shortcut, &QShortcut::activated, &window, [button = QPointer<QAbstractButton>(b.button)] {
      if (!button || !button->isEnabled()) return;
      // As with a click, the field being edited is left first, so its rules
      // run before the command.
      button->setFocus(Qt::ShortcutFocusReason);
      button->click();
    });
  }
}

}  // namespace vexa::ui
