// The window's commands: file save and load, printing and its preview,
// activating and releasing the unit, reading and writing its EEPROM. Their
// progress window is not modal and they yield to the event loop while they
// wait, so the window stays clickable; the runner keeps them apart. One
// command runs at a time: while it runs every command control is disabled and
// a second command is refused, so the progress window, its Storno and the
// cancel flag stay the running command's. A command control is found through
// the window's typed accessors, never by name.
//
// A new command is one line in window_commands.cpp:
//   window.commands().Bind(window.btSomething(), [&] { DoSomething(); });
// with the button itself built by the panel that shows it.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QAbstractButton;

namespace vexa::ui {

class CommandRunner : public QObject {
  Q_OBJECT
 public:
  // `ready` runs before every command (the rules of fields still waiting);
  // when it answers false the command does not start.
  explicit CommandRunner(std::function<bool()> ready, QObject* parent = nullptr);

  // A command control. While a command runs it is disabled; otherwise it is
  // enabled when `available` answers true. Without `available` it shows
  // what it showed before the command.
  void Add(QAbstractButton* control, std::function<bool()> available = {});
  // Binds the command a click on `control` runs (adding the control first
  // when it is not yet known) and enables the control.
  void Bind(QAbstractButton* control, std::function<void()> command);

  // Runs a command now. False when it did not run: another one is running,
  // or `ready` said no.
  bool Run(const std::function<void()>& command);
  bool running() const { return running_; }
  // Runs `after` once the running command has ended, from the event loop;
  // at once when none runs.
  void AfterCommand(std::function<void()> after);

  // Sets every command control's enabled state again (after the link state,
  // or anything else an availability depends on, changed).
  void Refresh();

 private:
  struct Control {
    QPointer<QAbstractButton> button;
    std::function<bool()> available;
    std::function<void()> command;
    bool wasEnabled = false;  // before the running command
  };
  Control* Find(const QAbstractButton* button);
  // Schedules what waited for the end of a command.
  void RunAfter();

  std::function<bool()> ready_;
  std::vector<Control> controls_;
  std::vector<std::function<void()>> after_;
  bool running_ = false;
};

}  // namespace vexa::ui
