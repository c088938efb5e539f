#include "ui/compare_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "texts/texts_window.h"

namespace vexa::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

CompareDialog::CompareDialog(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("Porovnani"));
  auto* layout = new QVBoxLayout(this);
  heading_ = new QLabel;
  heading_->setObjectName(QStringLiteral("lblPorovnani"));
  heading_->setWordWrap(true);
  heading_->setTextFormat(Qt::PlainText);
  table_ = new QTableWidget(0, 3);
  table_->setObjectName(QStringLiteral("tabRozdily"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setAlternatingRowColors(true);
  table_->setWordWrap(false);
  table_->verticalHeader()->setVisible(false);
  table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
  table_->horizontalHeader()->setStretchLastSection(true);
  heading_->setBuddy(table_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  QPushButton* close = buttons->button(QDialogButtonBox::Close);
  close->setObjectName(QStringLiteral("btZavrit"));
  close->setText(QString::fromUtf8(texts::kClose));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(heading_);
  layout->addWidget(table_, 1);
  layout->addWidget(buttons);
  resize(760, 420);
}

void CompareDialog::ShowDifferences(const QString& title, const QString& what, const QString& headA,
                                    const QString& headB, const std::vector<FieldDifference>& differences) {
  setWindowTitle(title);
  heading_->setText(what);
  table_->setAccessibleName(title);
  table_->clearContents();
  table_->setHorizontalHeaderLabels({QString::fromUtf8(texts::kCompareItem), headA, headB});
  table_->setRowCount(static_cast<int>(differences.size()));
  int row = 0;
  for (const FieldDifference& d : differences) {
    auto* item = new QTableWidgetItem(Q(d.caption));
    item->setToolTip(Q(d.name));  // the field's name, as vexa-cli diff prints it
    table_->setItem(row, 0, item);
    table_->setItem(row, 1, new QTableWidgetItem(Q(d.a)));
    table_->setItem(row, 2, new QTableWidgetItem(Q(d.b)));
    ++row;
  }
  table_->resizeColumnToContents(0);
  table_->setColumnWidth(0, std::min(table_->columnWidth(0) + 16, 360));
  table_->setColumnWidth(1, std::max(160, (table_->viewport()->width() - table_->columnWidth(0)) / 2));
  show();
  raise();
  activateWindow();
}

}  // namespace vexa::ui
