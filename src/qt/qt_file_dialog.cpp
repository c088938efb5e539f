#include "qt/qt_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

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
  }
}

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
  return *dialog_;
}

QFileDialog& QtFileDialog::prepareOpen() {
  QFileDialog& d = dialog();
  d.setWindowTitle(QStringLiteral("Načíst nastavení ze souboru"));
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::ExistingFile);  // only existing files
  d.setDefaultSuffix(QString());
  if (!last_.isEmpty()) {
    d.setDirectory(QFileInfo(last_).absolutePath());
    d.selectFile(last_);
  }
  return d;
}

QFileDialog& QtFileDialog::prepareSave() {
  QFileDialog& d = dialog();
  d.setWindowTitle(QStringLiteral("Uložit nastavení do souboru"));
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setFileMode(QFileDialog::AnyFile);
  // The program asks about overwriting itself.
  d.setOption(QFileDialog::DontConfirmOverwrite, true);
  d.setDefaultSuffix(QStringLiteral("eep"));
  if (!last_.isEmpty()) {
    d.setDirectory(QFileInfo(last_).absolutePath());
    d.selectFile(last_);
  }
  return d;
}

std::optional<std::string> QtFileDialog::Run(QFileDialog& d) {
  if (d.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = d.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  last_ = QDir::toNativeSeparators(chosen.front());
  return last_.toStdString();
}

std::optional<std::string> QtFileDialog::AskOpen() { return Run(prepareOpen()); }
std::optional<std::string> QtFileDialog::AskSave() { return Run(prepareSave()); }

}  // namespace vexa::qt
