#include "ui/command_runner.h"

#include <QAbstractButton>
#include <QTimer>

namespace vexa::ui {

CommandRunner::CommandRunner(std::function<bool()> ready, QObject* parent)
    : QObject(parent), ready_(std::move(ready)) {
  setObjectName(QStringLiteral("CommandRunner"));
}

CommandRunner::Control* CommandRunner::Find(const QAbstractButton* button) {
  for (Control& c : controls_) {
    if (c.button == button) return &c;
  }
  return nullptr;
}

void CommandRunner::Add(QAbstractButton* control, std::function<bool()> available) {
  if (control == nullptr) return;
  if (Control* known = Find(control)) {
    known->available = std::move(available);
  } else {
    controls_.push_back({control, std::move(available), {}});
  }
  Refresh();
}

void CommandRunner::Bind(QAbstractButton* control, std::function<void()> command) {
  if (control == nullptr) return;
  if (Find(control) == nullptr) controls_.push_back({control, {}, {}});
  const bool first = !Find(control)->command;
  Find(control)->command = std::move(command);
  if (first) {
    if (!running_) control->setEnabled(true);
    connect(control, &QAbstractButton::clicked, this, [this, control] {
      if (Control* c = Find(control); c != nullptr && c->command) Run(c->command);
    });
  }
  Refresh();
}

bool CommandRunner::Run(const std::function<void()>& command) {
  if (running_) return false;
  // Running from here on: a rule's message box in `ready` runs an event loop
  // of its own, in which a queued click must not start a second command.
  running_ = true;
  if (ready_ && !ready_()) {
    running_ = false;
    RunAfter();
    return false;
  }
  for (Control& c : controls_) {
    if (c.button) c.wasEnabled = c.button->isEnabled();
  }
  Refresh();
  // The control may be rebound while its command runs; the copy stays.
  const std::function<void()> running = command;
  running();
  running_ = false;
  for (const Control& c : controls_) {
    if (c.button && !c.available) c.button->setEnabled(c.wasEnabled);
  }
  Refresh();
  RunAfter();
  return true;
}

void CommandRunner::RunAfter() {
  if (after_.empty()) return;
  QTimer::singleShot(0, this, [this] {
    std::vector<std::function<void()>> after;
    after.swap(after_);
    for (auto& f : after) f();
  });
}

void CommandRunner::AfterCommand(std::function<void()> after) {
  if (!running_) {
    after();
    return;
  }
  after_.push_back(std::move(after));
}

void CommandRunner::Refresh() {
  for (const Control& c : controls_) {
    if (!c.button) continue;
    if (running_) {
      c.button->setEnabled(false);
    } else if (c.available) {
      c.button->setEnabled(c.available());
    }
  }
}

}  // namespace vexa::ui
