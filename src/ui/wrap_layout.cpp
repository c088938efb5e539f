#include "ui/wrap_layout.h"

#include <QWidget>
#include <algorithm>

namespace vexa::ui {

WrapLayout::WrapLayout(QWidget* parent, int spacing) : QLayout(parent), spacing_(spacing) {
  setContentsMargins(0, 0, 0, 0);
}

WrapLayout::~WrapLayout() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

void WrapLayout::addItem(QLayoutItem* item) { items_.append(item); }

void WrapLayout::addStretchedWidget(QWidget* w) {
  addWidget(w);
  stretched_ = items_.back();
}

QLayoutItem* WrapLayout::itemAt(int index) const {
  return index >= 0 && index < items_.size() ? items_[index] : nullptr;
}

QLayoutItem* WrapLayout::takeAt(int index) {
  if (index < 0 || index >= items_.size()) return nullptr;
  QLayoutItem* item = items_.takeAt(index);
  if (item == stretched_) stretched_ = nullptr;
  return item;
}

int WrapLayout::heightForWidth(int width) const { return Arrange(QRect(0, 0, width, 0), false); }

QSize WrapLayout::minimumSize() const {
  // The best split of the items into two lines, in their order.
  QList<int> widths;
  int widest = 0;
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    widths.append(item->minimumSize().width());
    widest = std::max(widest, widths.back());
  }
  int best = widest;
  if (widths.size() > 1) {
    best = -1;
    for (int split = 1; split < widths.size(); ++split) {
      int first = 0;
      int second = 0;
      for (int i = 0; i < widths.size(); ++i) (i < split ? first : second) += widths[i];
      first += (split - 1) * Spacing();
      second += (static_cast<int>(widths.size()) - split - 1) * Spacing();
      const int line = std::max(first, second);
      if (best < 0 || line < best) best = line;
    }
  }
  const QMargins m = contentsMargins();
  const int width = best + m.left() + m.right();
  return {width, heightForWidth(width)};
}

QSize WrapLayout::sizeHint() const {
  int width = 0;
  int height = 0;
  int shown = 0;
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    width += item->sizeHint().width();
    height = std::max(height, item->sizeHint().height());
    ++shown;
  }
  const QMargins m = contentsMargins();
  return {width + std::max(0, shown - 1) * Spacing() + m.left() + m.right(), height + m.top() + m.bottom()};
}

void WrapLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  Arrange(rect, true);
}

int WrapLayout::Arrange(const QRect& rect, bool apply) const {
  const QRect area = rect.marginsRemoved(contentsMargins());
  // Lines of items, each item at its minimum width; the spare width of a
  // line goes to its stretched item, or else is shared out evenly.
  QList<QList<QLayoutItem*>> lines(1);
  int used = 0;
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    const int w = item->minimumSize().width();
    if (!lines.back().isEmpty() && used + Spacing() + w > area.width()) {
      lines.append(QList<QLayoutItem*>());
      used = 0;
    }
    used += (lines.back().isEmpty() ? 0 : Spacing()) + w;
    lines.back().append(item);
  }
  int y = area.top();
  for (const QList<QLayoutItem*>& line : lines) {
    if (line.isEmpty()) continue;
    int lineWidth = static_cast<int>(line.size() - 1) * Spacing();
    int lineHeight = 0;
    for (QLayoutItem* item : line) {
      lineWidth += item->minimumSize().width();
      lineHeight = std::max(lineHeight, item->sizeHint().height());
    }
    if (apply) {
      int spare = std::max(0, area.width() - lineWidth);
      const bool stretchedHere = line.contains(stretched_);
      int x = area.left();
      for (int i = 0; i < line.size(); ++i) {
        QLayoutItem* item = line[i];
        int extra = 0;
        if (stretchedHere) {
          if (item == stretched_) extra = spare;
        } else {
          // Up to its preferred width first, the rest to the line's last item.
          extra = std::clamp(item->sizeHint().width() - item->minimumSize().width(), 0, spare);
          if (i == line.size() - 1) extra = spare;
        }
        spare -= extra;
        const int w = item->minimumSize().width() + extra;
        item->setGeometry(QRect(x, y, w, lineHeight));
        x += w + Spacing();
      }
    }
    y += lineHeight + Spacing();
  }
  const QMargins m = contentsMargins();
  const int height = y > area.top() ? y - Spacing() - area.top() : 0;
  return height + m.top() + m.bottom();
}

}  // namespace vexa::ui
