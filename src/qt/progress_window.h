// The progress window "Info": a small non-modal window captioned "VEXA" that
// tells what a long operation is doing (label `Napis`) and, where the
// operation allows it, offers "Storno", which sets the program's cancel flag
// and hides the window at once. During a block transfer a bar under the
// text shows the blocks done of those to do (a share that never falls), a
// line under it the time left once a few blocks have told how fast the unit
// answers, and when no block has come for 5 s the text gains the cable hint
// the polling shows.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>

#include "link/serial_port.h"
#include "platform/progress.h"
#include "platform/services.h"
#include "qt/modal_pause.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace vexa::qt {

class InfoWindow : public QDialog {
  Q_OBJECT
 public:
  // `cancelRequested` is the program's cancel flag; the window belongs to
  // `owner` and stays in front of it.
  InfoWindow(bool& cancelRequested, QWidget* owner);

  QLabel* napis() const { return napis_; }
  QPushButton* storno() const { return storno_; }
  QProgressBar* bar() const { return bar_; }
  QLabel* timeLeft() const { return timeLeft_; }

  void setText(const QString& text);
  void setStornoVisible(bool visible);
  // Shows `done` of `total` blocks (0: not known yet) and the time left; a
  // transfer that starts again (fewer blocks done than before) starts a new
  // estimate. hideProgress() takes the bar away.
  void setProgress(long done, long total);
  void hideProgress();
  // The transfer's pace and the clock it is measured by (milliseconds).
  const TransferPace& pace() const { return pace_; }
  // It stands while a question or another modal window is on screen: the
  // program's own pause is no silence of the unit and no part of its pace.
  std::int64_t nowMs() const { return paced_.NowMs() + clockOffsetMs_; }
  // Moves the window's clock on, as if that much time had passed.
  void advanceClock(std::int64_t ms) { clockOffsetMs_ += ms; refresh(); }

  // Asked before Storno cancels; false keeps the operation going.
  std::function<bool()> mayCancel;

 public slots:
  // Storno, Escape and the close box: set the cancel flag and hide. Without
  // a Storno button the operation cannot be cancelled, and the window stays.
  void reject() override;

 private:
  // Shows the pace: the bar, the time left and the cable hint.
  void refresh();

  bool& cancelRequested_;
  QLabel* napis_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QLabel* timeLeft_ = nullptr;
  QPushButton* storno_ = nullptr;
  QTimer* tick_ = nullptr;  // refreshes the time left and the hint between blocks
  QString text_;            // the operation's text, without the hint
  struct Elapsed : link::Clock {
    Elapsed() { timer.start(); }
    std::int64_t NowMs() const override { return timer.elapsed(); }
    QElapsedTimer timer;
  } clock_;
  link::UnitClock paced_{clock_};
  ModalPause pause_{paced_, this};
  std::int64_t clockOffsetMs_ = 0;
  TransferPace pace_;
};

class QtProgressWindow : public ProgressWindow {
 public:
  QtProgressWindow(bool& cancelRequested, QWidget* owner) : cancelRequested_(cancelRequested), owner_(owner) {}
  ~QtProgressWindow() override;

  void Show(const std::string& text, bool stornoVisible) override;
  void SetText(const std::string& text) override;
  void Close() override;
  void SetProgress(long done, long total) override;
  void SetCancelQuestion(std::function<bool()> mayCancel) override { mayCancel_ = std::move(mayCancel); }

  // The window, created on first use.
  InfoWindow& window();
  bool isCreated() const { return !window_.isNull(); }

 private:
  bool& cancelRequested_;
  QPointer<QWidget> owner_;
  QPointer<InfoWindow> window_;
  std::function<bool()> mayCancel_;
};

}  // namespace vexa::qt
