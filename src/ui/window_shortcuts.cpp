#include "ui/window_shortcuts.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHelpEvent>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QToolTip>

#include "ui/main_window.h"

namespace vexa::ui {
namespace {

constexpr const char* kKeyProperty = "vexaShortcut";

// Shows a button's key under its tooltip.
class KeyInTooltip : public QObject {
 public:
  explicit KeyInTooltip(QObject* parent) : QObject(parent) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return false;
    auto* button = qobject_cast<QAbstractButton*>(watched);
    const QString key = ShortcutShownFor(button);
    if (button == nullptr || key.isEmpty() || button->toolTip().isEmpty()) return false;
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                       button->toolTip() + QStringLiteral("\nKlávesa: ") + key, button);
    return true;
  }
};

}  // namespace

QString ShortcutShownFor(const QAbstractButton* button) {
  return button == nullptr ? QString() : button->property(kKeyProperty).toString();
}

void AttachShortcuts(MainWindow& window) {
  struct Binding {
    QKeyCombination keys;
    QAbstractButton* button;
  };
  const Binding bindings[] = {
      {Qt::CTRL | Qt::Key_O, window.btFileLoad()},
      {Qt::CTRL | Qt::Key_S, window.btFileSave()},
      {Qt::CTRL | Qt::Key_P, window.btTisk()},
      {Qt::CTRL | Qt::SHIFT | Qt::Key_P, window.btNahled()},
      {Qt::CTRL | Qt::Key_Q, window.btKonec()},
      {QKeyCombination(Qt::Key_F2), window.btDEA()},
      {QKeyCombination(Qt::Key_F5), window.btEEPROMLoad()},
      {QKeyCombination(Qt::Key_F6), window.btEEPROMSave()},
  };
  auto* tips = new KeyInTooltip(&window);
  for (const Binding& b : bindings) {
    auto* shortcut = new QShortcut(QKeySequence(b.keys), &window);
    b.button->setProperty(kKeyProperty, QKeySequence(b.keys).toString(QKeySequence::NativeText));
    b.button->installEventFilter(tips);
    QObject::connect(shortcut, &QShortcut::activated, &window, [button = QPointer<QAbstractButton>(b.button)] {
      if (!button || !button->isEnabled()) return;
      // As with a click, the field being edited is left first, so its rules
      // run before the command.
      button->setFocus(Qt::ShortcutFocusReason);
      button->click();
    });
  }

  // The tabs, from any control of the window.
  const struct {
    QKeyCombination keys;
    int step;
  } tabKeys[] = {
      {Qt::CTRL | Qt::Key_Tab, 1},
      {Qt::CTRL | Qt::Key_PageDown, 1},
      {Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1},
      {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1},
      {Qt::CTRL | Qt::Key_PageUp, -1},
  };
  for (const auto& t : tabKeys) {
    auto* shortcut = new QShortcut(QKeySequence(t.keys), &window);
    QObject::connect(shortcut, &QShortcut::activated, &window, [&window, step = t.step] {
      QTabWidget* tabs = window.tabList();
      if (tabs->count() == 0) return;
      tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
    });
  }
}

}  // namespace vexa::ui
