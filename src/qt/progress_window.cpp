#include "qt/progress_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "texts/texts.h"
#include "texts/texts_window.h"

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
  bar_->setAccessibleName(QString::fromUtf8(texts::kProgressBarName));
  bar_->setTextVisible(true);
  bar_->hide();
  timeLeft_ = new QLabel(this);
  timeLeft_->setObjectName(QStringLiteral("Zbyva"));
  timeLeft_->setAlignment(Qt::AlignCenter);
  timeLeft_->setTextFormat(Qt::PlainText);
  timeLeft_->hide();

  storno_ = new QPushButton(QString::fromUtf8(texts::kButtonStop), this);
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

  tick_ = new QTimer(this);
  tick_->setInterval(250);
  connect(tick_, &QTimer::timeout, this, &InfoWindow::refresh);
}

void InfoWindow::setText(const QString& text) {
  text_ = text;
  refresh();
}

void InfoWindow::setProgress(long done, long total) {
  pace_.Report(done, total, nowMs());
  const bool wasHidden = bar_->isHidden();
  bar_->show();
  timeLeft_->show();
  refresh();
  if (wasHidden) adjustSize();
  if (!tick_->isActive()) tick_->start();
}

void InfoWindow::hideProgress() {
  // The share goes on: the next phase of the same command continues it (its
  // blocks timed afresh); a new transfer reports fewer blocks done and
  // starts a new one.
  pace_.NewPhase();
  tick_->stop();
  bar_->hide();
  timeLeft_->hide();
  refresh();
}

void InfoWindow::refresh() {
  if (!isVisible()) tick_->stop();
  const std::int64_t now = nowMs();
  // The hint while no block comes, as the polling gives it.
  const QString text =
      pace_.Silent(now) && !bar_->isHidden() ? text_ + QLatin1Char('\n') + QString::fromUtf8(texts::kMsgNoAnswer) : text_;
  if (napis_->text() != text) {
    napis_->setText(text);
    // A second line makes the window taller, never cut off.
    if (isVisible()) {
      const int needed = hasHeightForWidth() ? heightForWidth(width()) : sizeHint().height();
      if (needed > height()) resize(width(), needed);
    }
  }
  if (!pace_.Running()) return;
  if (const auto share = pace_.Share()) {
    const long total = pace_.Total();
    bar_->setRange(0, static_cast<int>(total));
    bar_->setValue(static_cast<int>(std::lround(*share * static_cast<double>(total))));
  } else {
    bar_->setRange(0, 0);  // busy until the total is known
  }
  bar_->setFormat(QString::fromStdString(texts::BlocksOfText(pace_.Done(), pace_.Total())));
  const auto seconds = pace_.SecondsLeft(now);
  timeLeft_->setText(seconds ? QString::fromStdString(texts::TimeLeftText(*seconds)) : QStringLiteral(" "));
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
  if (window_) window_->setText(QString::fromStdString(text));
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
