#include "ui/row_tables.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "texts/texts_window.h"
#include "ui/captions.h"
#include "ui/field_binding.h"
#include "ui/field_controller.h"
#include "ui/window_tabs.h"
#include "model/rows.h"

namespace vexa::ui {

namespace {

// The columns of a family's table: the fields of its tab that have a column,
// in the tab's order, each headed and explained by its row of the field
// table. The numbers keep a fixed width; the analog rows' SMS texts take the
// row's second line.
std::vector<RowTable::Column> ColumnsOf(Family family) {
  std::vector<RowTable::Column> columns;
  for (const auto& tab : kTabFields) {
    for (const Field f : tab) {
      const FieldInfo& info = InfoOf(f);
      if (info.family != family || !HasColumn(info)) continue;
      const int width = info.kind == FieldKind::Text ? info.columnWidth : -1;
      columns.push_back({f, HeadOf(info), info.tip, width, info.secondLine});
    }
  }
  return columns;
}

}  // namespace

RowTable::Layout RowTable::Inputs() {
  return {Family::Input,
          ColumnsOf(Family::Input),
          0,
          kRows - 1,
          "tabINPjmeno",
          "tabINPbt",
          Words(texts::kRowOptions),
          Words(texts::kRowOptionsInputTip)};
}

RowTable::Layout RowTable::Outputs() {
  return {Family::Output,
          ColumnsOf(Family::Output),
          0,
          kRows - 1,
          "tabOUTjmeno",
          "tabOUTbt",
          Words(texts::kRowOptions),
          Words(texts::kRowOptionsOutputTip)};
}

RowTable::Layout RowTable::Analogs(int firstRow, int lastRow) {
  return {Family::Analog,
          ColumnsOf(Family::Analog),
          firstRow,
          lastRow,
          "tabAINJmeno",
          "tabAINbt",
          Words(texts::kRowOptions),
          Words(texts::kRowOptionsAnalogTip)};
}

RowTable::Layout RowTable::Phones() {
  return {Family::Phone,
          ColumnsOf(Family::Phone),
          0,
          kRows - 1,
          "tabTCjmeno",
          "tabTCbt",
          Words(texts::kRowChange),
          Words(texts::kRowChangePhoneTip)};
}

namespace {

// A text cell too narrow for its text shows the whole text as its tooltip,
// above the column's meaning; otherwise the meaning alone.
void ShowCutTextAsTip(QLineEdit* edit) {
  const QString meaning = edit->property("columnTip").toString();
  const QMargins margins = edit->textMargins();
  const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
  // The line edit keeps two pixels on either side of its text.
  const int room = edit->width() - 2 * frame - margins.left() - margins.right() - 4;
  const bool cut = edit->fontMetrics().horizontalAdvance(edit->text()) > room;
  edit->setToolTip(cut && !edit->text().isEmpty() ? edit->text() + QStringLiteral("\n\n") + meaning : meaning);
}

// The first line of a row lays its cells in the table's columns; the long
// texts of the second line share the table's width evenly.
// A little room under it keeps one row apart from the next.
QHBoxLayout* SecondLine() {
  auto* line = new QHBoxLayout;
  line->setSpacing(4);
  line->setContentsMargins(0, 0, 0, 4);
  return line;
}

void AddToSecondLine(QHBoxLayout* line, QWidget* w, int minimumWidth) {
  w->setSizePolicy(QSizePolicy::Ignored, w->sizePolicy().verticalPolicy());
  w->setMinimumWidth(minimumWidth);
  line->addWidget(w, 1);
}

}  // namespace

// How a table lays its rows out in its grid.
struct RowTable::Grid {
  QGridLayout* grid = nullptr;
  bool twoLines = false;  // the rows have a second line of long texts
  int linesPerRow = 1;
  int headerRows = 1;
  // Narrow enough for the table to fit a small screen; the spare width goes
  // to the text columns.
  int textMinimum = 0;
  int belowMinimum = 0;
  // Grid columns: the row label, the first-line cells, the button.
  std::vector<int> gridColumn;
  int buttonColumn = 0;
  // Disabled rows show their text cells on the button face.
  QPalette greyed;
  std::vector<QLineEdit*> textCells;
};

RowTable::RowTable(FieldController& fields, const Layout& l) : family_(l.family) {
  setWidgetResizable(true);
  setFrameShape(QFrame::NoFrame);
  auto* table = new QWidget;
  Grid g;
  g.grid = new QGridLayout(table);
  g.grid->setHorizontalSpacing(4);
  g.grid->setVerticalSpacing(4);
  g.twoLines = std::any_of(l.columns.begin(), l.columns.end(), [](const Column& c) { return c.below; });
  g.linesPerRow = g.twoLines ? 2 : 1;
  g.headerRows = g.linesPerRow;
  g.textMinimum = fontMetrics().horizontalAdvance(QStringLiteral("0000000"));
  g.belowMinimum = 2 * g.textMinimum;
  g.gridColumn.assign(l.columns.size(), -1);
  int lastColumn = 0;
  for (std::size_t c = 0; c < l.columns.size(); ++c) {
    if (!l.columns[c].below) g.gridColumn[c] = ++lastColumn;
  }
  g.buttonColumn = lastColumn + 1;

  AddHeads(l, g);
  g.greyed = table->palette();
  g.greyed.setColor(QPalette::Disabled, QPalette::Base, g.greyed.color(QPalette::Active, QPalette::Button));
  for (int row = l.firstRow; row <= l.lastRow; ++row) AddRow(fields, l, g, row);
  FinishColumns(fields, l, g);

  g.grid->setRowStretch((l.lastRow - l.firstRow + 1) * g.linesPerRow + g.headerRows, 1);
  setWidget(table);
  // The table lies on the tab page's own background.
  viewport()->setAutoFillBackground(false);
  table->setAutoFillBackground(false);
}

void RowTable::AddHeads(const Layout& l, Grid& g) {
  QHBoxLayout* belowHeaders = g.twoLines ? SecondLine() : nullptr;
  for (std::size_t c = 0; c < l.columns.size(); ++c) {
    const Column& col = l.columns[c];
    QString caption = QString::fromUtf8(col.header);
    if (col.below) caption.replace(QLatin1Char('\n'), QLatin1Char(' '));
    auto* header = new QLabel(caption);
    header->setObjectName(QStringLiteral("hdr") + QString::fromLatin1(InfoOf(col.field).name) +
                          (l.firstRow > 0 ? QStringLiteral("_%1").arg(l.firstRow) : QString()));
    header->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    header->setToolTip(QString::fromUtf8(col.tooltip));
    if (col.below) {
      AddToSecondLine(belowHeaders, header, std::max(g.belowMinimum, header->minimumSizeHint().width()));
      continue;
    }
    // The narrow check-box columns would run their headings together.
    if (InfoOf(col.field).kind != FieldKind::Text) header->setContentsMargins(2, 0, 2, 0);
    g.grid->addWidget(header, 0, g.gridColumn[c]);
    if (InfoOf(col.field).kind == FieldKind::Text) {
      if (col.width > 0) {
        g.grid->setColumnMinimumWidth(g.gridColumn[c], col.width);
      } else {
        g.grid->setColumnStretch(g.gridColumn[c], 1);
        g.grid->setColumnMinimumWidth(g.gridColumn[c], g.textMinimum);
      }
    }
  }
  if (belowHeaders != nullptr) {
    // Set off from the first line's headings above.
    belowHeaders->setContentsMargins(0, 6, 0, 0);
    g.grid->addLayout(belowHeaders, 1, 1, 1, g.buttonColumn);
  }
}

void RowTable::AddRow(FieldController& fields, const Layout& l, Grid& g, int row) {
  const int gridRow = (row - l.firstRow) * g.linesPerRow + g.headerRows;
  const QString rowLabel = QString::fromStdString(RowLabel(l.family, row));
  std::vector<QWidget*> rowControls;
  QHBoxLayout* below = g.twoLines ? SecondLine() : nullptr;

  auto* label = new QLabel(rowLabel);
  label->setObjectName(QString::fromLatin1(l.labelName) + QString::number(row));
  label->setProperty("row", row);
  label->setAlignment(Qt::AlignCenter);
  label->setMinimumWidth(30);
  g.grid->addWidget(label, gridRow, 0, g.linesPerRow, 1);
  rowControls.push_back(label);

  for (std::size_t c = 0; c < l.columns.size(); ++c) rowControls.push_back(AddCell(fields, l, g, c, row, below));
  if (below != nullptr) g.grid->addLayout(below, gridRow + 1, 1, 1, g.buttonColumn);

  auto* button = new QPushButton(l.buttonCaption);
  button->setObjectName(QString::fromLatin1(l.buttonName) + QString::number(row));
  button->setProperty("row", row);
  button->setToolTip(l.buttonTip);
  button->setAccessibleName(l.buttonCaption + QLatin1Char(' ') + rowLabel);
  connect(button, &QPushButton::clicked, this, [this, row] { emit rowOpened(row); });
  g.grid->addWidget(button, gridRow, g.buttonColumn);
  rowControls.push_back(button);

  if (!IsEditableRow(l.family, row)) {
    for (QWidget* w : rowControls) w->setEnabled(false);
  }
}

QWidget* RowTable::AddCell(FieldController& fields, const Layout& l, Grid& g, std::size_t column, int row,
                           QHBoxLayout* below) {
  const Column& col = l.columns[column];
  const int gridRow = (row - l.firstRow) * g.linesPerRow + g.headerRows;
  const FieldRef ref{col.field, row};
  const QString name = QStringLiteral("tab") + QString::fromLatin1(InfoOf(col.field).name) + QString::number(row);
  QString accessible = QString::fromUtf8(col.header);
  accessible.replace(QLatin1Char('\n'), QLatin1Char(' '));
  accessible += QLatin1Char(' ') + QString::fromStdString(RowLabel(l.family, row));
  if (InfoOf(col.field).kind != FieldKind::Text) {
    QCheckBox* box = fields.MakeCheck(ref, name, QString(), QString::fromUtf8(col.tooltip));
    box->setAccessibleName(accessible);
    if (l.family == Family::Phone) {
      connect(box, &QCheckBox::clicked, this, [this, row] { emit phoneRowClicked(row); });
    }
    g.grid->addWidget(box, gridRow, g.gridColumn[column], Qt::AlignCenter);
    return box;
  }
  QLineEdit* edit = fields.MakeEdit(ref, name, accessible, QString::fromUtf8(col.tooltip));
  if (col.width > 0) {
    edit->setMaximumWidth(col.width + 16);
    edit->setAlignment(Qt::AlignRight);
  }
  edit->setPalette(g.greyed);
  connect(static_cast<FieldEdit*>(edit), &FieldEdit::doubleClicked, this, [this, row] { emit rowOpened(row); });
  if (col.below) {
    AddToSecondLine(below, edit, g.belowMinimum);
  } else {
    g.grid->addWidget(edit, gridRow, g.gridColumn[column]);
  }
  g.textCells.push_back(edit);
  return edit;
}

void RowTable::FinishColumns(FieldController& fields, const Layout& l, Grid& g) {
  // Only output 1 shows a pulse length; the others are hidden (and, from
  // O3 on, disabled with their rows).
  if (l.family == Family::Output) {
    for (int row = std::max(l.firstRow, 1); row <= l.lastRow; ++row) {
      if (QWidget* w = fields.control({Field::OUTimpulsLEN, row})) {
        w->setVisible(false);
        if (!IsEditableRow(Family::Output, row)) w->setEnabled(false);
        // Keep the column's place in the grid when the cell is hidden.
        QSizePolicy sp = w->sizePolicy();
        sp.setRetainSizeWhenHidden(true);
        w->setSizePolicy(sp);
      }
    }
  }
  // The battery row's falling text is the battery report's too.
  if (l.family == Family::Analog) {
    if (QWidget* bat = fields.control({Field::AINCL1Dn, kBatteryRow}); bat != nullptr && l.lastRow >= kBatteryRow) {
      bat->setToolTip(Words(texts::kBatteryFallTip));
    }
  }
  for (QLineEdit* edit : g.textCells) {
    edit->setProperty("columnTip", edit->toolTip());
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, edit, [edit] { ShowCutTextAsTip(edit); });
  }
}

bool RowTable::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (auto* edit = qobject_cast<QLineEdit*>(watched)) ShowCutTextAsTip(edit);
  }
  return QScrollArea::eventFilter(watched, event);
}

PhoneTab::PhoneTab(FieldController& fields) {
  auto* layout = new QVBoxLayout(this);
  table_ = new RowTable(fields, RowTable::Phones());
  table_->setMaximumWidth(620);

  auto* utoRow = new QHBoxLayout;
  QCheckBox* utoEnable = MakeFieldCheck(fields, Field::UTOEnable);
  QLineEdit* uto = MakeFieldEdit(fields, Field::UTO);
  uto->setMaximumWidth(60);
  utoRow->addWidget(utoEnable);
  utoRow->addWidget(uto);
  utoRow->addStretch(1);

  layout->addWidget(table_);
  layout->addLayout(utoRow);
  layout->addStretch(1);
}

}  // namespace vexa::ui
