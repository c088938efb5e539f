// SIGTERM and SIGHUP (a shutdown, a closed terminal, `kill`) as a Qt signal:
// the handler only writes the signal's number into a pipe, which the event
// loop reads, so the program reacts between two of its own steps and never
// inside a system call.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace vexa::qt {

class QuitSignals : public QObject {
  Q_OBJECT
 public:
  explicit QuitSignals(QObject* parent = nullptr);
  ~QuitSignals() override;

  // The exit code for a stop by `signal`: 128 + its number, as a shell shows it.
  static int ExitCodeOf(int signal) { return 128 + signal; }

 signals:
  void received(int signal);

 private:
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vexa::qt
