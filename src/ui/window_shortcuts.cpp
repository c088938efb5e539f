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

#include "texts/texts_window.h"

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
                       button->toolTip() + QString::fromUtf8(texts::kShortcutKey) + key, button);
    return true;
  }
};

}  // namespace

QString ShortcutShownFor(const QAbstractButton* button) {
  return button == nullptr ? QString() : button->property(kKeyProperty).toString();
}

void BindKeys(QWidget& window, std::initializer_list<KeyBinding> bindings) {
  auto* tips = new KeyInTooltip(&window);
  for (const KeyBinding& b : bindings) {
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
}

void AttachTabKeys(QWidget& window, QTabWidget& tabs) {
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
    QObject::connect(shortcut, &QShortcut::activated, &window, [tabs = &tabs, step = t.step] {
      if (tabs->count() == 0) return;
      tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
    });
  }
}

}  // namespace vexa::ui
