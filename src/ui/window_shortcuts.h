// The keys of the main window, besides the mnemonics of its buttons: a key
// that acts as a command button (which key does what is said where the
// window's commands are bound, window_commands.cpp), and Ctrl+Tab and
// Ctrl+PgDown for the next tab, Ctrl+Shift+Tab and Ctrl+PgUp for the
// previous one, wherever the focus is in the window.
// A button's key is shown on a second line of its tooltip (the tooltip text
// itself stays as it is).
#pragma once

#include <QKeyCombination>
#include <QString>
#include <initializer_list>

class QAbstractButton;
class QTabWidget;
class QWidget;

namespace vexa::ui {

struct KeyBinding {
  QKeyCombination keys;
  QAbstractButton* button;
};

// Each binding's keys, anywhere in `window`, act as a click on its button and
// do nothing while the button is disabled.
void BindKeys(QWidget& window, std::initializer_list<KeyBinding> bindings);

// The keys that switch the tabs of `tabs`, anywhere in `window`.
void AttachTabKeys(QWidget& window, QTabWidget& tabs);

// The key shown under a button's tooltip ("" when it has none).
QString ShortcutShownFor(const QAbstractButton* button);

}  // namespace vexa::ui
