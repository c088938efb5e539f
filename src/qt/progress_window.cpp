#include "qt/progress_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

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
  layout->addLayout(buttons);
}

void InfoWindow::setText(const QString& text) { napis_->setText(text); }

void InfoWindow::setStornoVisible(bool visible) { storno_->setVisible(visible); }

void InfoWindow::reject() {
  if (storno_->isHidden()) return;
  cancelRequested_ = true;
  hide();
}

QtProgressWindow::~QtProgressWindow() {
  if (window_ && window_->parent() == nullptr) delete window_.data();
}

InfoWindow& QtProgressWindow::window() {
  if (!window_) window_ = new InfoWindow(cancelRequested_, owner_.data());
  return *window_;
}

void QtProgressWindow::Show(const std::string& text, bool stornoVisible) {
  InfoWindow& w = window();
  w.setWindowTitle(QStringLiteral("VEXA"));
  w.setStornoVisible(stornoVisible);
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

void QtProgressWindow::Close() {
  if (!window_ || !window_->isVisible()) return;
  window_->hide();
  // The focus goes back to the main window.
  if (owner_ && owner_->isVisible()) owner_->activateWindow();
}

}  // namespace vexa::qt
