// A layout that sets its widgets side by side and carries on in a new line
// when the width runs out: the panels under the tabs stay whole on a narrow
// screen (or at a large scaling) by growing downwards instead of sideways.
#pragma once

#include <QLayout>
#include <QList>

namespace vexa::ui {

class WrapLayout : public QLayout {
 public:
  explicit WrapLayout(QWidget* parent = nullptr, int spacing = 6);
  ~WrapLayout() override;

  // The widget stretched over the rest of its line (at most one).
  void addStretchedWidget(QWidget* w);

  void addItem(QLayoutItem* item) override;
  int count() const override { return static_cast<int>(items_.size()); }
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  // The narrowest width that still needs no more than two lines, and its height.
  QSize minimumSize() const override;
  // Everything in one line.
  QSize sizeHint() const override;
  void setGeometry(const QRect& rect) override;

 private:
  // Lays the items out within the width; moves them only when apply is set.
  // Returns the height used.
  int Arrange(const QRect& rect, bool apply) const;
  int Spacing() const { return spacing_; }

  QList<QLayoutItem*> items_;
  QLayoutItem* stretched_ = nullptr;
  int spacing_;
};

}  // namespace vexa::ui
