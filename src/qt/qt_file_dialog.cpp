#include "qt/qt_file_dialog.h"

#include <algorithm>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QTreeView>
#include <QUrl>

#include "file/backup.h"
#include "texts/texts.h"
#include "texts/texts_window.h"

namespace vexa::qt {

QString QtFilterOf(const QString& filter) {
  // "EEPROM (*.eep)|*.eep": the part before "|" is what Qt shows and reads
  // the patterns from.
  const qsizetype bar = filter.indexOf(QLatin1Char('|'));
  return bar < 0 ? filter : filter.left(bar);
}

namespace {

// A first size that shows the side panel and a file's name, size and date
// without cutting them, within the screen; the user's own resizing is kept
// afterwards with the dialog.
void FitContents(QFileDialog& d) {
  d.setViewMode(QFileDialog::Detail);
  const QFontMetrics fm(d.font());
  const int nameWidth = fm.horizontalAdvance(QLatin1Char('x')) * 40;
  QSize size(fm.averageCharWidth() * 120, fm.height() * 30);
  const QScreen* screen = d.parentWidget() ? d.parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (screen) size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  d.resize(size.expandedTo(d.minimumSizeHint()));
  // Qt's own dialog: the name column wide enough for a long name, the others
  // as wide as their contents.
  if (auto* files = d.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    files->header()->resizeSection(0, nameWidth);
    for (int column = 1; column < files->header()->count(); ++column) {
      files->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    // The type column says "unknown" for every ".eep" file; its room goes to
    // the side bar with the backup folder.
    constexpr int kTypeColumn = 2;
    if (files->header()->count() > kTypeColumn) files->header()->setSectionHidden(kTypeColumn, true);
  }
}

// Qt's own dialog names a side bar entry by its folder ("backups") and
// names it so again whenever the folder's entry in its model changes; the
// backup folder keeps its own name, and the side bar room for it.
void NameSidebarEntry(QFileDialog& d, const QUrl& url, const QString& name) {
  auto* side = d.findChild<QListView*>(QStringLiteral("sidebar"));
  if (side == nullptr || side->model() == nullptr) return;
  QAbstractItemModel* model = side->model();
  auto rename = [model, url, name] {
    for (int row = 0; row < model->rowCount(); ++row) {
      const QModelIndex index = model->index(row, 0);
      if (model->data(index, Qt::UserRole + 1).toUrl() != url || model->data(index).toString() == name) continue;
      model->setData(index, name, Qt::DisplayRole);
      model->setData(index, url.toLocalFile(), Qt::ToolTipRole);
    }
  };
  rename();
  if (!model->property("vexaNamed").toBool()) {
    model->setProperty("vexaNamed", true);
    QObject::connect(model, &QAbstractItemModel::dataChanged, &d, rename);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, &d, rename);
  }
  // The side bar wide enough for the name; the dialog grows by as much, so
  // that the file list keeps its room for name, size and date.
  const int wanted = side->fontMetrics().horizontalAdvance(name) + side->iconSize().width() + 40;
  if (side->minimumWidth() < wanted) {
    side->setMinimumWidth(wanted);
    int wider = d.width() + wanted;
    const QScreen* screen = d.parentWidget() ? d.parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) wider = std::min(wider, screen->availableGeometry().width() * 9 / 10);
    d.resize(std::max(wider, d.width()), d.height());
  }
}

// The unit's earlier configurations, kept before every write, a click away
// (once the first backup has made the folder). Qt keeps the side bar between
// runs: backup folders of other runs (another XDG_DATA_HOME) are dropped.
void ShowBackupsInSidebar(QFileDialog& d) {
  const QString backups = QString::fromStdString(DefaultBackupDir());
  const QUrl url = QUrl::fromLocalFile(backups);
  const QString tail = QStringLiteral("/vexa-init/backups");
  QList<QUrl> side;
  for (const QUrl& u : d.sidebarUrls()) {
    if (u != url && u.isLocalFile() && QDir::cleanPath(u.toLocalFile()).endsWith(tail)) continue;
    side.append(u);
  }
  const bool present = QFileInfo(backups).isDir();
  if (present && !side.contains(url)) side.append(url);
  if (!present) side.removeAll(url);
  if (side != d.sidebarUrls()) d.setSidebarUrls(side);
  if (present) NameSidebarEntry(d, url, QString::fromUtf8(texts::kBackupsSidebarName));
}

// Nothing the dialog showed last stays chosen: Qt's own dialog keeps the
// name typed or selected in it, and selectFile() of no name leaves it there.
void ForgetChoice(QFileDialog& d) {
  if (auto* name = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->clear();
  for (auto* view : d.findChildren<QAbstractItemView*>()) {
    if (view->selectionModel() != nullptr) view->selectionModel()->clearSelection();
  }
}

// Starts the dialog in `folder` (when there is one) with `file` chosen (when
// there is one).
void StartFrom(QFileDialog& d, const QString& folder, const QString& file) {
  ForgetChoice(d);
  if (!folder.isEmpty()) d.setDirectory(folder);
  if (!file.isEmpty()) d.selectFile(file);
}

QString FolderOf(const QString& file) { return file.isEmpty() ? QString() : QFileInfo(file).absolutePath(); }

}  // namespace

QtFileDialog::QtFileDialog(QWidget* owner) : owner_(owner) {}

QtFileDialog::~QtFileDialog() {
  // Without an owner the dialog is ours to delete.
  if (dialog_ && dialog_->parent() == nullptr) delete dialog_.data();
}

QFileDialog& QtFileDialog::dialog() {
  if (!dialog_) {
    dialog_ = new QFileDialog(owner_.data());
    dialog_->setObjectName(QStringLiteral("CommonDialog"));
    dialog_->setNameFilter(QtFilterOf(QString::fromUtf8(kEepFilter)));
    dialog_->setModal(true);
    FitContents(*dialog_);
  }
  ShowBackupsInSidebar(*dialog_);
  return *dialog_;
}

QString QtFileDialog::openFolder() const { return lastOpened_.isEmpty() ? openFolder_ : FolderOf(lastOpened_); }

QString QtFileDialog::saveFolder() const { return saveFolder_; }

void QtFileDialog::SetCurrentFile(const std::string& path) {
  current_ = QString::fromStdString(path);
  if (!current_.isEmpty()) lastOpened_ = current_;
}

void QtFileDialog::ProposeSave(const std::string& proposal) { proposal_ = QString::fromStdString(proposal); }

QFileDialog& QtFileDialog::PrepareOpen(const QString& title, const QString& file) {
  QFileDialog& d = dialog();
  d.setWindowTitle(title);
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::ExistingFile);  // only existing files
  d.setDefaultSuffix(QString());
  StartFrom(d, file.isEmpty() ? openFolder() : FolderOf(file), file);
  return d;
}

QFileDialog& QtFileDialog::prepareOpen() { return PrepareOpen(QString::fromUtf8(texts::kToolFileLoad), current_); }
QFileDialog& QtFileDialog::prepareCompare() { return PrepareOpen(QString::fromUtf8(texts::kCompareWithFile), lastCompared_); }

QFileDialog& QtFileDialog::prepareSave() {
  QFileDialog& d = dialog();
  d.setWindowTitle(QString::fromUtf8(texts::kToolFileSave));
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setFileMode(QFileDialog::AnyFile);
  // The program asks about overwriting itself.
  d.setOption(QFileDialog::DontConfirmOverwrite, true);
  d.setDefaultSuffix(QStringLiteral("eep"));
  // A bare name goes into the folder last saved to, else the one last opened
  // from, else the home folder.
  const QFileInfo proposal(proposal_);
  QString folder = proposal.isAbsolute() ? proposal.absolutePath() : saveFolder_;
  if (folder.isEmpty()) folder = openFolder();
  if (folder.isEmpty()) folder = QDir::homePath();
  StartFrom(d, folder, proposal_.isEmpty() ? QString() : QDir(folder).filePath(proposal.fileName()));
  return d;
}

std::optional<QString> QtFileDialog::Run(QFileDialog& d) {
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = d.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(chosen.front());
}

std::optional<std::string> QtFileDialog::AskOpen() {
  const std::optional<QString> chosen = Run(prepareOpen());
  if (!chosen) return std::nullopt;
  lastOpened_ = *chosen;
  return chosen->toStdString();
}

std::optional<std::string> QtFileDialog::AskCompare() {
  const std::optional<QString> chosen = Run(prepareCompare());
  if (!chosen) return std::nullopt;
  lastOpened_ = *chosen;
  lastCompared_ = *chosen;
  return chosen->toStdString();
}

std::optional<std::string> QtFileDialog::AskSave() {
  const std::optional<QString> chosen = Run(prepareSave());
  if (!chosen) return std::nullopt;
  saveFolder_ = QFileInfo(*chosen).absolutePath();
  return chosen->toStdString();
}

}  // namespace vexa::qt
