#include "ui/series_window.h"

#include <QBrush>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "file/disk_file.h"
#include "platform/services.h"
#include "texts/texts.h"
#include "workflows/series_workflow.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QString U(const char* text) { return QString::fromUtf8(text); }

constexpr int kStateColumn = 1;
constexpr int kFirstCell = 2;
// A table of thousands of units is far below this.
constexpr std::size_t kMaxTable = 16u << 20;
const QColor kProblemColour(255, 200, 200);

QPushButton* Button(const char* name, const char* caption) {
  auto* b = new QPushButton(U(caption));
  b->setObjectName(QString::fromLatin1(name));
  b->setAccessibleName(U(caption));
  return b;
}

// The progress window's Storno is the main workspace's; the series' unit
// workspace learns of it whenever the link yields.
class ForwardingLoop : public EventLoop {
 public:
  ForwardingLoop(EventLoop& inner, const Workspace& from, Workspace& to) : inner_(inner), from_(from), to_(to) {}
  void Yield() override {
    inner_.Yield();
    if (from_.CancelRequested) to_.CancelRequested = true;
  }

 private:
  EventLoop& inner_;
  const Workspace& from_;
  Workspace& to_;
};

}  // namespace

SeriesWindow::SeriesWindow(Workspace& ws, Services& sv, link::UnitSession& link, QWidget* parent)
    : QDialog(parent), ws_(ws), sv_(sv), link_(link) {
  setObjectName(QStringLiteral("SerieWindow"));
  setWindowTitle(U(texts::kSeriesTitle));
  auto* layout = new QVBoxLayout(this);
  auto* templ = new QLabel(U(texts::kSeriesTemplateLine));
  templ->setObjectName(QStringLiteral("lbSerieSablona"));
  layout->addWidget(templ);
  auto* buttons = new QHBoxLayout;
  btLoad_ = Button("btSerieTabulka", texts::kSeriesLoadTable);
  btNext_ = Button("btSerieDalsi", texts::kSeriesWriteNext);
  auto* btClose = Button("btSerieZavrit", texts::kSeriesClose);
  buttons->addWidget(btLoad_);
  buttons->addWidget(btNext_);
  buttons->addStretch(1);
  buttons->addWidget(btClose);
  layout->addLayout(buttons);
  table_ = new QTableWidget;
  table_->setObjectName(QStringLiteral("tableSerie"));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  layout->addWidget(table_, 1);
  lbLog_ = new QLabel;
  lbLog_->setObjectName(QStringLiteral("lbSerieZaznam"));
  lbState_ = new QLabel(U(texts::kSeriesNoTable));
  lbState_->setObjectName(QStringLiteral("lbSerieStav"));
  lbState_->setWordWrap(true);
  layout->addWidget(lbLog_);
  layout->addWidget(lbState_);
  btNext_->setEnabled(false);
  connect(btLoad_, &QPushButton::clicked, this, [this] { AskForTable(); });
  connect(btNext_, &QPushButton::clicked, this, [this] { WriteNext(); });
  connect(btClose, &QPushButton::clicked, this, &QDialog::close);
  resize(900, 480);
}

SeriesWindow::~SeriesWindow() = default;

void SeriesWindow::AskForTable() {
  const QString path = QFileDialog::getOpenFileName(this, U(texts::kSeriesTitle), QString(), U(texts::kSeriesTableFilter));
  if (!path.isEmpty()) LoadTable(path.toStdString());
}

bool SeriesWindow::LoadTable(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  Failure why;
  series_ = {};
  log_.clear();
  if (!ReadRegularFile(path, kMaxTable, bytes, why)) {
    sv_.messages.Show(Icon::Error, WithReason(texts::SeriesTableUnreadable(path), why));
  } else {
    SeriesCheck check;
    check.settings = ws_.settings;
    check.decimalSeparator = ws_.decimalSeparator;
    series_ = BuildSeriesTable(ws_.config, {reinterpret_cast<const char*>(bytes.data()), bytes.size()}, check);
  }
  const auto dot = path.rfind('.');
  const bool dotInName = dot != std::string::npos && path.find_first_of("/\\", dot) == std::string::npos;
  logPath_ = (dotInName ? path.substr(0, dot) : path) + ".log.csv";
  if (!ReadSeriesLog(logPath_, log_, why)) sv_.messages.Show(Icon::Warning, WithReason(texts::kSeriesLogFailed, why));
  lbLog_->setText(Q(texts::SeriesLogLabel(logPath_)));
  ShowTable();
  MarkProblems();
  ShowStates();
  ShowSummary();
  return !series_.units.empty() && !series_.Refused();
}

void SeriesWindow::ShowTable() {
  table_->clear();
  QStringList heads{U(texts::kSeriesHeadRow), U(texts::kSeriesHeadState)};
  for (const std::string& c : series_.columns) heads << Q(c);
  table_->setColumnCount(static_cast<int>(heads.size()));
  table_->setHorizontalHeaderLabels(heads);
  table_->setRowCount(static_cast<int>(series_.cells.size()));
  for (std::size_t r = 0; r < series_.cells.size(); ++r) {
    const int row = static_cast<int>(r);
    table_->setItem(row, 0, new QTableWidgetItem(QString::number(row + 1)));
    table_->setItem(row, kStateColumn, new QTableWidgetItem);
    for (std::size_t c = 0; c < series_.columns.size(); ++c) {
      const std::string cell = c < series_.cells[r].size() ? series_.cells[r][c] : std::string();
      table_->setItem(row, kFirstCell + static_cast<int>(c), new QTableWidgetItem(Q(cell)));
    }
  }
  // Every column as wide as its head and cells: the column names are long.
  table_->resizeColumnsToContents();
}

// Each problem on its cell (the state cell when it has no column of the
// table; the head for the header's).
void SeriesWindow::MarkProblems() {
  for (const SeriesProblem& p : series_.problems) {
    const auto column = std::find(series_.columns.begin(), series_.columns.end(), p.column);
    const int c = column == series_.columns.end() ? kStateColumn
                                                  : kFirstCell + static_cast<int>(column - series_.columns.begin());
    QTableWidgetItem* item = p.row >= 1 && p.row <= table_->rowCount() ? table_->item(p.row - 1, c)
                                                                        : table_->horizontalHeaderItem(c);
    if (item == nullptr) continue;
    item->setBackground(QBrush(kProblemColour));
    const QString tip = item->toolTip();
    item->setToolTip((tip.isEmpty() ? QString() : tip + "\n") + Q(DescribeProblem(p)));
  }
}

void SeriesWindow::SetState(int row, const char* state, const std::string& reason) {
  QTableWidgetItem* item = table_->item(row - 1, kStateColumn);
  if (item == nullptr) return;
  item->setText(reason.empty() ? U(state) : U(state) + ": " + Q(reason));
  item->setToolTip(Q(reason));
}

// What the log says of each row: its last line.
void SeriesWindow::ShowStates() {
  if (series_.Refused()) return;
  for (const SeriesUnit& u : series_.units) SetState(u.row, texts::kSeriesStatePending, {});
  for (const SeriesLogEntry& e : log_) {
    if (e.row < 1 || e.row > static_cast<int>(series_.units.size())) continue;
    const bool done = e.outcome == kSeriesDone;
    SetState(e.row, done ? texts::kSeriesStateDone : texts::kSeriesStateFailed, done ? std::string() : e.reason);
  }
  table_->resizeColumnToContents(kStateColumn);
}

void SeriesWindow::ShowSummary() {
  if (series_.Refused()) {
    std::string text = texts::kSeriesRefused;
    for (const SeriesProblem& p : series_.problems) text += "\n" + DescribeProblem(p);
    lbState_->setText(Q(text));
    btNext_->setEnabled(false);
    return;
  }
  const std::vector<int> pending = PendingRows(series_, log_);
  const long count = static_cast<long>(series_.units.size());
  std::string text = texts::SeriesProgressLine(count - static_cast<long>(pending.size()), count);
  if (!pending.empty()) {
    const SeriesUnit& next = series_.units[static_cast<std::size_t>(pending.front() - 1)];
    text.append(" ").append(texts::SeriesNextUnit(next.row, count, next.station));
  } else {
    text.append(" ").append(texts::kSeriesEverythingDone);
  }
  lbState_->setText(Q(text));
  btNext_->setEnabled(!pending.empty());
}

void SeriesWindow::WriteNext() {
  const std::vector<int> pending = PendingRows(series_, log_);
  if (series_.Refused() || pending.empty()) return;
  if (link_.state() != LinkState::Neaktivni) {
    sv_.messages.Show(Icon::Warning, texts::kSeriesDeactivateFirst);
    return;
  }
  const SeriesUnit& unit = series_.units[static_cast<std::size_t>(pending.front() - 1)];
  auto unitWs = std::make_unique<Workspace>();
  unitWs->settings = ws_.settings;
  unitWs->scales = ws_.scales;
  unitWs->decimalSeparator = ws_.decimalSeparator;
  ws_.CancelRequested = false;
  ForwardingLoop loop(sv_.loop, ws_, *unitWs);
  Services sv{sv_.messages, sv_.progress, loop, sv_.files, nullptr, sv_.ports};
  SeriesTarget target;
  target.row = unit.row;
  target.station = unit.station;
  target.config = unit.config;
  SeriesUnitOptions options;
  options.fullWrite = ws_.settings.FullWrite;
  options.check.settings = ws_.settings;
  options.logPath = logPath_;
  btNext_->setEnabled(false);
  const SeriesUnitResult result = RunSeriesUnit(link_, *unitWs, sv, target, options);
  ws_.CancelRequested = false;
  log_.push_back(result.entry);
  const bool done = result.outcome == SeriesOutcome::Done;
  SetState(unit.row, done ? texts::kSeriesStateDone : texts::kSeriesStateFailed, result.entry.reason);
  ShowSummary();
  if (!result.logProblem.empty()) sv_.messages.Show(Icon::Error, result.logProblem);
}

}  // namespace vexa::ui
