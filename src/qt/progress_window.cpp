#include "qt/progress_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/texts.h"

namespace vexa::qt {

InfoWindow::InfoWindow(bool& cancelRequested, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint),
      cancelRequested_(cancelRequested) {
  setObjectName(QStringLiteral("Info"));
  setWindowTitle(QStringLiteral("VEXA"));
  setModal(false);

  napis_ = new QLabel(this);
  napis_->setObjectName(QStringLiteral("Napis"));
  napis_->setWordWrap(true);
  napis_->setAlignment(Qt::AlignCenter);
  napis_->setTextFormat(Qt::PlainText);
  napis_->setMinimumWidth(320);

  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("Prubeh"));
  bar_->setAccessibleName(QStringLiteral("Průběh přenosu"));
  bar_->setTextVisible(true);
  bar_->hide();
  timeLeft_ = new QLabel(this);
  timeLeft_->setObjectName(QStringLiteral("Zbyva"));
  timeLeft_->setAlignment(Qt::AlignCenter);
  timeLeft_->setTextFormat(Qt::PlainText);
  timeLeft_->hide();

  storno_ = new QPushButton(QStringLiteral("Storno"), this);
  storno_->setObjectName(QStringLiteral("Storno"));
  storno_->setAutoDefault(false);
  connect(storno_, &QPushButton::clicked, this, &InfoWindow::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(storno_);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, 16, 18, 14);
  layout->setSpacing(14);
  layout->addWidget(napis_, 1);
  layout->addWidget(bar_);
  layout->addWidget(timeLeft_);
  layout->addLayout(buttons);
}

void InfoWindow::setText(const QString& text) { napis_->setText(text); }

QString TimeLeftText(long startDone, long done, long total, qint64 elapsedMs) {
  const long measured = done - startDone;
  if (measured < 2 || elapsedMs < 1000 || done >= total) return {};
  const qint64 leftMs = elapsedMs * (total - done) / measured;
  const qint64 seconds = (leftMs + 999) / 1000;
  return QString::fromStdString(texts::TimeLeftText(seconds));
}

void InfoWindow::setProgress(long done, long total) {
  if (total <= 0) return;
  if (done < lastDone_ || total != lastTotal_ || !started_.isValid()) {
    // A new transfer: the estimate starts from here.
    started_.start();
    startDone_ = done;
  }
  lastDone_ = done;
  lastTotal_ = total;
  const bool wasHidden = bar_->isHidden();
  bar_->setRange(0, static_cast<int>(total));
  bar_->setValue(static_cast<int>(std::min(done, total)));
  bar_->setFormat(QStringLiteral("%v z %m bloků"));
  bar_->show();
  const QString left = TimeLeftText(startDone_, done, total, started_.elapsed());
  timeLeft_->setText(left.isEmpty() ? QStringLiteral(" ") : left);
  timeLeft_->show();
  if (wasHidden) adjustSize();
}

void InfoWindow::hideProgress() {
  bar_->hide();
  timeLeft_->hide();
  started_.invalidate();
  lastDone_ = -1;
  lastTotal_ = -1;
}

void InfoWindow::setStornoVisible(bool visible) { storno_->setVisible(visible); }

void InfoWindow::reject() {
  if (storno_->isHidden()) return;
  if (mayCancel && !mayCancel()) return;
  cancelRequested_ = true;
  hide();
}

QtProgressWindow::~QtProgressWindow() {
  if (window_ && window_->parent() == nullptr) delete window_.data();
}

InfoWindow& QtProgressWindow::window() {
  if (!window_) {
    window_ = new InfoWindow(cancelRequested_, owner_.data());
    window_->mayCancel = [this] { return !mayCancel_ || mayCancel_(); };
  }
  return *window_;
}

void QtProgressWindow::Show(const std::string& text, bool stornoVisible) {
  InfoWindow& w = window();
  w.setWindowTitle(QStringLiteral("VEXA"));
  w.setStornoVisible(stornoVisible);
  w.hideProgress();
  w.setText(QString::fromStdString(text));
  w.adjustSize();
  if (!w.isVisible() && owner_ && owner_->isVisible()) {
    // Centred over the main window.
    const QRect frame = owner_->frameGeometry();
    w.move(frame.center() - QPoint(w.width() / 2, w.height() / 2));
  }
  w.show();
  w.raise();
}

void QtProgressWindow::SetText(const std::string& text) {
  if (!window_) return;
  window_->setText(QString::fromStdString(text));
  // A longer text (a second line) makes the window taller, never cut off.
  if (!window_->isVisible()) return;
  const int needed =
      window_->hasHeightForWidth() ? window_->heightForWidth(window_->width()) : window_->sizeHint().height();
  if (needed > window_->height()) window_->resize(window_->width(), needed);
}

void QtProgressWindow::SetProgress(long done, long total) {
  if (window_ && window_->isVisible()) window_->setProgress(done, total);
}

void QtProgressWindow::Close() {
  if (!window_ || !window_->isVisible()) return;
  window_->hide();
  // The focus goes back to the main window.
  if (owner_ && owner_->isVisible()) owner_->activateWindow();
}

}  // namespace vexa::qt
