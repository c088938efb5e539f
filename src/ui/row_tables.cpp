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

#include "ui/field_binding.h"
#include "ui/field_controller.h"
#include "ui/window_tabs.h"
#include "workspace/rows.h"

namespace vexa::ui {

namespace {

// The columns in the order of their fields' places in the field table; a
// column without a heading of its own is headed by its field's caption.
std::vector<RowTable::Column> InFieldOrder(std::vector<RowTable::Column> columns) {
  std::stable_sort(columns.begin(), columns.end(), [](const RowTable::Column& a, const RowTable::Column& b) {
    return InfoOf(a.field).order < InfoOf(b.field).order;
  });
  for (RowTable::Column& c : columns) {
    if (c.header == nullptr) c.header = InfoOf(c.field).caption;
  }
  return columns;
}

}  // namespace

RowTable::Layout RowTable::Inputs() {
  return {Family::Input,
          InFieldOrder({
              {Field::INPNazev, nullptr, "Název digitálního vstupu", 0},
              {Field::INPZap, "Název stavu\n'ZAPNUTO'", "Název stavu 'ZAPNUTO' pro tento digitální vstup", 0},
              {Field::INPVyp, "Název stavu\n'VYPNUTO'", "Název stavu 'VYPNUTO' pro tento digitální vstup", 0},
              {Field::INPLH, "Název přechodu\nVypnuto->Zapnuto",
               "Název přechodu 'Vypnuto->Zapnuto' pro tento digitální vstup", 0},
              {Field::INPHL, "Název přechodu\nZapnuto->Vypnuto",
               "Název přechodu 'Zapnuto->Vypnuto' pro tento digitální vstup", 0},
              {Field::INPLHEvent, "Hlásit\nVyp->Zap",
               "Posílat hlášení při přechodu 'Vypnuto->Zapnuto' pro tento digitální vstup", -1},
              {Field::INPHLEvent, "Hlásit\nZap->Vyp",
               "Posílat hlášení při přechodu 'Zapnuto->Vypnuto' pro tento digitální vstup", -1},
              {Field::INPNeg, "Negace", "Negace stavů Zapnuto<->Vypnuto", -1},
              {Field::INPZpr, "Ve\nzprávě", "Uvádět ve zprávě informace o tonto digitálním vstupu", -1},
          }),
          0,
          kRows - 1,
          "tabINPjmeno",
          "tabINPbt",
          QStringLiteral("Možnosti"),
          QStringLiteral("Zobrazit formulář pro změnu hodnot tohoto digitálního vstupu")};
}

RowTable::Layout RowTable::Outputs() {
  return {Family::Output,
          InFieldOrder({
              {Field::OUTNazev, nullptr, "Název digitálního výstupu", 0},
              {Field::OUTZap, "Název stavu 'ZAPNUTO'\n(příkaz zapnout)",
               "Název stavu 'ZAPNUTO' pro tento digitální výstup", 0},
              {Field::OUTVyp, "Název stavu 'VYPNUTO'\n(příkaz vypnout)",
               "Název stavu 'VYPNUTO' pro tento digitální výstup", 0},
              {Field::OUTimpuls, "Příkaz pro\nvyslání impulsu", "Příkaz pro vyslání impulsu na tento digitální výstup",
               0},
              {Field::OUTimpulsLEN, "Délka\nimpulsu [s]",
               "doba trvání impulsu (0-255) x 0,1 sekund (např. 125=12,5 sekund)", 64},
              {Field::OUTNeg, "Negace", "Negace stavů Zapnuto<->Vypnuto", -1},
              {Field::OUTZpr, "Ve\nzprávě", "Uvádět ve zprávě informace o tomto digitálním výstupu", -1},
          }),
          0,
          kRows - 1,
          "tabOUTjmeno",
          "tabOUTbt",
          QStringLiteral("Možnosti"),
          QStringLiteral("Zobrazit formulář pro změnu hodnot tohoto digitálního výstupu")};
}

RowTable::Layout RowTable::Analogs(int firstRow, int lastRow) {
  return {Family::Analog,
          InFieldOrder({
              {Field::AINNazev, nullptr, "Název analogového vstupu", 0},
              {Field::AINStateL, "Stav\n'nízká'", "Název stavu 'nízká' pro tento analogový vstup", 0},
              {Field::AINStateM, "Stav\n'normální'", "Název stavu 'normální' pro tento analogový vstup", 0},
              {Field::AINStateH, "Stav\n'vysoká'", "Název stavu 'vysoká' pro tento analogový vstup", 0},
              {Field::AINCL1Level, "CL1", "Hodnota úrovně CL1", 46},
              {Field::AINHCL1Level, "HCL1", "Hodnota  hystereze CL1", 46},
              {Field::AINCL2Level, "CL2", "Hodnota úrovně CL2", 46},
              {Field::AINHCL2Level, "HCL2", "Hodnota  hystereze CL2", 46},
              {Field::AINCL1Up, "Text\nCL1 nahoru", "Text SMS zprávy při přechodu přes CL1 nahoru", 0, true},
              {Field::AINCL1Dn, "Text\nCL1 dolu", "Text SMS zprávy při přechodu přes CL1 dolu", 0, true},
              {Field::AINCL2Up, "Text\nCL2 nahoru", "Text SMS zprávy při přechodu přes CL2 nahoru", 0, true},
              {Field::AINCL2Dn, "Text\nCL2 dolu", "Text SMS zprávy při přechodu přes CL2 dolu", 0, true},
              {Field::AINCL1UpEvent, "SMS\nCL1↑", "Posílat SMS zprávu při přechodu přes CL1 nahoru", -1},
              {Field::AINCL1DnEvent, "SMS\nCL1↓", "Posílat SMS zprávu při přechodu přes CL1 dolu", -1},
              {Field::AINCL2UpEvent, "SMS\nCL2↑", "Posílat SMS zprávu při přechodu přes CL2 nahoru", -1},
              {Field::AINCL2DnEvent, "SMS\nCL2↓", "Posílat SMS zprávu při přechodu přes CL2 dolu", -1},
              {Field::AINNeg, "Negace", "Negace analogového vstupu", -1},
              {Field::AINPrc, "Uvádět\nhodnotu", "Po hodnotě uvádět hodnotu", -1},
              {Field::AINZpr, "Uvádět\nstav", "Po hodnotě uvádět jméno stavu", -1},
          }),
          firstRow,
          lastRow,
          "tabAINJmeno",
          "tabAINbt",
          QStringLiteral("Možnosti"),
          QStringLiteral("Zobrazit formulář pro změnu hodnot tohoto analogového vstupu")};
}

RowTable::Layout RowTable::Phones() {
  return {Family::Phone,
          InFieldOrder({
              {Field::TC, nullptr, "Telefonní číslo", 0},
              {Field::TCPrijem, "Příjem", "Přijímat příkazy z tohoto tel. čísla", -1},
              {Field::TCUdalost, "Události", "Odesílat zprávy o událostech na toto tel. číslo", -1},
          }),
          0,
          kRows - 1,
          "tabTCjmeno",
          "tabTCbt",
          QStringLiteral("Změnit"),
          QStringLiteral("Zobrazit formulář pro změnu tohoto telefonního čísla")};
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
      bat->setToolTip(QStringLiteral("Text SMS zprávy při přechodu přes CL1 dolu - TATO HLÁŠKA JE SHODNÁ S HLÁŠKOU O "
                                     "POKLESU NAPĚTÍ BATERIÍ"));
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
  auto* utoEnable = fields.MakeCheck({Field::UTOEnable, 0}, QStringLiteral("tabUTOEnable"),
                                     QStringLiteral("Automaticky vkládat před tel. číslo UTO:"));
  auto* uto = fields.MakeEdit({Field::UTO, 0}, QStringLiteral("tabUTO"), QStringLiteral("UTO"),
                              QStringLiteral("Předvolba vkládaná před telefonní čísla bez mezinárodního tvaru"));
  uto->setMaximumWidth(60);
  utoRow->addWidget(utoEnable);
  utoRow->addWidget(uto);
  utoRow->addStretch(1);

  layout->addWidget(table_);
  layout->addLayout(utoRow);
  layout->addStretch(1);
}

}  // namespace vexa::ui
