// The progress window "Info": a small non-modal window captioned "VEXA" that
// tells what a long operation is doing (label `Napis`) and, where the
// operation allows it, offers "Storno", which sets the program's cancel flag
// and hides the window at once.
#pragma once

#include <QDialog>
#include <QPointer>
#include <string>

#include "platform/services.h"

class QLabel;
class QPushButton;

namespace vexa::qt {

class InfoWindow : public QDialog {
  Q_OBJECT
 public:
  // `cancelRequested` is the program's cancel flag; the window belongs to
  // `owner` and stays in front of it.
  InfoWindow(bool& cancelRequested, QWidget* owner);

  QLabel* napis() const { return napis_; }
  QPushButton* storno() const { return storno_; }

  void setText(const QString& text);
  void setStornoVisible(bool visible);

 public slots:
  // Storno, Escape and the close box: set the cancel flag and hide. Without
  // a Storno button the operation cannot be cancelled, and the window stays.
  void reject() override;

 private:
  bool& cancelRequested_;
  QLabel* napis_ = nullptr;
  QPushButton* storno_ = nullptr;
};

class QtProgressWindow : public ProgressWindow {
 public:
  QtProgressWindow(bool& cancelRequested, QWidget* owner) : cancelRequested_(cancelRequested), owner_(owner) {}
  ~QtProgressWindow() override;

  void Show(const std::string& text, bool stornoVisible) override;
  void SetText(const std::string& text) override;
  void Close() override;

  // The window, created on first use.
  InfoWindow& window();
  bool isCreated() const { return !window_.isNull(); }

 private:
  bool& cancelRequested_;
  QPointer<QWidget> owner_;
  QPointer<InfoWindow> window_;
};

}  // namespace vexa::qt
