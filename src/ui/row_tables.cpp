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

#include "platform/texts_window.h"
#include "ui/captions.h"
#include "ui/field_binding.h"
#include "ui/field_controller.h"
#include "ui/window_tabs.h"
#include "workspace/rows.h"

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
      int width = info.kind == FieldKind::Text ? 0 : -1;
      if (f == Field::OUTimpulsLEN) width = 64;
      if (info.form == TextForm::Number && family == Family::Analog) width = 46;
      const bool below = f == Field::AINCL1Up || f == Field::AINCL1Dn || f == Field::AINCL2Up || f == Field::AINCL2Dn;
      columns.push_back({f, HeadOf(info), info.tip, width, below});
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

RowTable::RowTable(FieldController& fields, const Layout& l) : family_(l.family) {
  setWidgetResizable(true);
  setFrameShape(QFrame::NoFrame);
  auto* table = new QWidget;
  auto* grid = new QGridLayout(table);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(4);

  const bool twoLines = std::any_of(l.columns.begin(), l.columns.end(), [](const Column& c) { return c.below; });
  const int linesPerRow = twoLines ? 2 : 1;
  const int headerRows = linesPerRow;
  // Narrow enough for the table to fit a small screen; the spare width goes
  // to these columns.
  const int textMinimum = fontMetrics().horizontalAdvance(QStringLiteral("0000000"));
  const int belowMinimum = 2 * textMinimum;

  // Grid columns: the row label, the first-line cells, the button.
  std::vector<int> gridColumn(l.columns.size(), -1);
  int lastColumn = 0;
  for (std::size_t c = 0; c < l.columns.size(); ++c) {
    if (!l.columns[c].below) gridColumn[c] = ++lastColumn;
  }
  const int buttonColumn = lastColumn + 1;

  QHBoxLayout* belowHeaders = twoLines ? SecondLine() : nullptr;
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
      AddToSecondLine(belowHeaders, header, std::max(belowMinimum, header->minimumSizeHint().width()));
      continue;
    }
    // The narrow check-box columns would run their headings together.
    if (InfoOf(col.field).kind != FieldKind::Text) header->setContentsMargins(2, 0, 2, 0);
    grid->addWidget(header, 0, gridColumn[c]);
    if (InfoOf(col.field).kind == FieldKind::Text) {
      if (col.width > 0) {
        grid->setColumnMinimumWidth(gridColumn[c], col.width);
      } else {
        grid->setColumnStretch(gridColumn[c], 1);
        grid->setColumnMinimumWidth(gridColumn[c], textMinimum);
      }
    }
  }
  if (belowHeaders != nullptr) {
    // Set off from the first line's headings above.
    belowHeaders->setContentsMargins(0, 6, 0, 0);
    grid->addLayout(belowHeaders, 1, 1, 1, buttonColumn);
  }

  // Disabled rows show their text cells on the button face.
  QPalette greyed = table->palette();
  greyed.setColor(QPalette::Disabled, QPalette::Base, greyed.color(QPalette::Active, QPalette::Button));

  std::vector<QLineEdit*> textCells;
  for (int row = l.firstRow; row <= l.lastRow; ++row) {
    const int gridRow = (row - l.firstRow) * linesPerRow + headerRows;
    const QString rowLabel = QString::fromStdString(RowLabel(l.family, row));
    std::vector<QWidget*> rowControls;
    QHBoxLayout* below = twoLines ? SecondLine() : nullptr;

    auto* label = new QLabel(rowLabel);
    label->setObjectName(QString::fromLatin1(l.labelName) + QString::number(row));
    label->setProperty("row", row);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(30);
    grid->addWidget(label, gridRow, 0, linesPerRow, 1);
    rowControls.push_back(label);

    for (std::size_t c = 0; c < l.columns.size(); ++c) {
      const Column& col = l.columns[c];
      const FieldRef ref{col.field, row};
      const QString name = QStringLiteral("tab") + QString::fromLatin1(InfoOf(col.field).name) + QString::number(row);
      QString accessible = QString::fromUtf8(col.header);
      accessible.replace(QLatin1Char('\n'), QLatin1Char(' '));
      accessible += QLatin1Char(' ') + rowLabel;
      QWidget* cell = nullptr;
      if (InfoOf(col.field).kind == FieldKind::Text) {
        QLineEdit* edit = fields.MakeEdit(ref, name, accessible, QString::fromUtf8(col.tooltip));
        if (col.width > 0) {
          edit->setMaximumWidth(col.width + 16);
          edit->setAlignment(Qt::AlignRight);
        }
        edit->setPalette(greyed);
        connect(static_cast<FieldEdit*>(edit), &FieldEdit::doubleClicked, this, [this, row] { emit rowOpened(row); });
        if (col.below) {
          AddToSecondLine(below, edit, belowMinimum);
        } else {
          grid->addWidget(edit, gridRow, gridColumn[c]);
        }
        textCells.push_back(edit);
        cell = edit;
      } else {
        QCheckBox* box = fields.MakeCheck(ref, name, QString(), QString::fromUtf8(col.tooltip));
        box->setAccessibleName(accessible);
        if (l.family == Family::Phone) {
          connect(box, &QCheckBox::clicked, this, [this, row] { emit phoneRowClicked(row); });
        }
        grid->addWidget(box, gridRow, gridColumn[c], Qt::AlignCenter);
        cell = box;
      }
      rowControls.push_back(cell);
    }
    if (below != nullptr) grid->addLayout(below, gridRow + 1, 1, 1, buttonColumn);

    auto* button = new QPushButton(l.buttonCaption);
    button->setObjectName(QString::fromLatin1(l.buttonName) + QString::number(row));
    button->setProperty("row", row);
    button->setToolTip(l.buttonTip);
    button->setAccessibleName(l.buttonCaption + QLatin1Char(' ') + rowLabel);
    connect(button, &QPushButton::clicked, this, [this, row] { emit rowOpened(row); });
    grid->addWidget(button, gridRow, buttonColumn);
    rowControls.push_back(button);

    if (!IsEditableRow(l.family, row)) {
      for (QWidget* w : rowControls) w->setEnabled(false);
    }
  }

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
  for (QLineEdit* edit : textCells) {
    edit->setProperty("columnTip", edit->toolTip());
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, edit, [edit] { ShowCutTextAsTip(edit); });
  }

  grid->setRowStretch((l.lastRow - l.firstRow + 1) * linesPerRow + headerRows, 1);
  setWidget(table);
  // The table lies on the tab page's own background.
  viewport()->setAutoFillBackground(false);
  table->setAutoFillBackground(false);
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
