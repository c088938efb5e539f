// The tabs with one line per row: the digital inputs, the digital outputs,
// the analog inputs (two tabs of four rows) and the phone numbers. Each line
// has its row label, a cell per column and a button that opens the row's
// editor; rows beyond the edition's stay disabled.
#pragma once

#include <QScrollArea>
#include <QString>
#include <vector>

#include "model/fields.h"

class QHBoxLayout;
class QGridLayout;
class QLineEdit;

namespace vexa::ui {

class FieldController;

class RowTable : public QScrollArea {
  Q_OBJECT
 public:
  struct Column {
    Field field;
    const char* header;
    const char* tooltip;
    int width;  // 0: a text column that takes the spare width; -1: a check box
    bool below = false;  // a long text, on the row's second line
  };
  struct Layout {
    Family family;
    std::vector<Column> columns;
    int firstRow;
    int lastRow;
    const char* labelName;   // row labels: labelName + row
    const char* buttonName;  // row buttons: buttonName + row
    QString buttonCaption;
    QString buttonTip;
  };
  static Layout Inputs();
  static Layout Outputs();
  static Layout Analogs(int firstRow, int lastRow);
  static Layout Phones();

  RowTable(FieldController& fields, const Layout& layout);

  Family family() const { return family_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  // The row's button or a double click into one of its text cells.
  void rowOpened(int row);
  // A click on a check box of a phone row.
  void phoneRowClicked(int row);

 private:
  struct Grid;
  void AddHeads(const Layout& l, Grid& g);
  void AddRow(FieldController& fields, const Layout& l, Grid& g, int row);
  QWidget* AddCell(FieldController& fields, const Layout& l, Grid& g, std::size_t column, int row, QHBoxLayout* below);
  void FinishColumns(FieldController& fields, const Layout& l, Grid& g);

  Family family_;
};

// The tab "Tel. čísla": the phone table and the prefix UTO with its switch.
class PhoneTab : public QWidget {
  Q_OBJECT
 public:
  explicit PhoneTab(FieldController& fields);
  RowTable* table() const { return table_; }

 private:
  RowTable* table_ = nullptr;
};

}  // namespace vexa::ui
