// The window "Porovnani": the differences between two configurations as a
// table, one line per field, row or bit that differs, with the caption the
// main window shows for it and the value on each side.
#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "workspace/compare.h"

class QLabel;
class QTableWidget;

namespace vexa::ui {

class CompareDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CompareDialog(QWidget* owner);

  // Fills the table ("Položka", then `headA` and `headB`), sets the caption
  // and the line above the table, and shows the window in front.
  void ShowDifferences(const QString& title, const QString& what, const QString& headA, const QString& headB,
                       const std::vector<FieldDifference>& differences);

  QTableWidget* table() const { return table_; }
  QLabel* heading() const { return heading_; }

 private:
  QLabel* heading_ = nullptr;
  QTableWidget* table_ = nullptr;
};

}  // namespace vexa::ui
