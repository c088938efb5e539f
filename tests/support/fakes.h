// Scriptable stand-ins for the platform services, shared by every test
// program (the link test rig adds its clock, port and unit to them). A
// question nobody scripted gets the answer that changes nothing.
//
// FakeMessageBox records every box it is asked to show and answers from a
// script; FakeFileDialog answers the open and save dialogs from scripts;
// FakeProgress records what the progress window was told; FakeEventLoop counts
// yields and can run a hook on each (e.g. to press Storno mid-operation);
// FakePortList answers the serial ports it is given and counts the asks.
//
//   vexa::fake::FakeServices fx;          // all four fakes + a Services
//   fx.messages.answers.push_back(vexa::Answer::Yes);
//   fx.files.saves.push_back("/tmp/x.eep");
//   vexa::ui::MainWindow w(ws, fx.services);
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "platform/services.h"
#include "workspace/workspace.h"

namespace vexa::fake {

struct ShownMessage {
  Icon icon = Icon::Information;
  std::string text;
  Buttons buttons = Buttons::Ok;
  bool operator==(const ShownMessage&) const = default;
};

class FakeMessageBox : public MessageBox {
 public:
  // Scripted answers, used in turn. When the script runs dry a box with only
  // OK answers Ok, a Yes/No box answers No and a Yes/No/Cancel box Cancel
  // (the answers that change nothing).
  std::deque<Answer> answers;
  std::vector<ShownMessage> shown;
  // The extra buttons offered (ShowWithButton), in turn.
  std::vector<std::string> extraButtons;
  // Called after recording, before answering (e.g. to look at the window
  // while the box would be up).
  std::function<void(const ShownMessage&)> onShow;

  Answer Show(Icon icon, const std::string& text, Buttons buttons = Buttons::Ok) override {
    shown.push_back({icon, text, buttons});
    if (onShow) onShow(shown.back());
    if (!answers.empty()) {
      Answer a = answers.front();
      answers.pop_front();
      return a;
    }
    switch (buttons) {
      case Buttons::Ok: return Answer::Ok;
      case Buttons::YesNo: return Answer::No;
      case Buttons::YesNoCancel: return Answer::Cancel;
    }
    return Answer::Ok;
  }

  // Answers from the script too; Ok when it runs dry.
  Answer ShowWithButton(Icon icon, const std::string& text, const std::string& extra) override {
    shown.push_back({icon, text, Buttons::Ok});
    extraButtons.push_back(extra);
    if (onShow) onShow(shown.back());
    if (answers.empty()) return Answer::Ok;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }

  // A Yes/No question whose Enter answers No: recorded and answered as
  // Show would, and its text kept in `noByDefault`.
  std::vector<std::string> noByDefault;
  Answer AskNoByDefault(Icon icon, const std::string& text) override {
    noByDefault.push_back(text);
    return Show(icon, text, Buttons::YesNo);
  }

  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const auto& m : shown) out.push_back(m.text);
    return out;
  }
  // Each message without the reason beneath it.
  std::vector<std::string> firstLines() const {
    std::vector<std::string> out;
    for (const auto& m : shown) out.push_back(m.text.substr(0, m.text.find('\n')));
    return out;
  }
  void clear() {
    shown.clear();
    answers.clear();
    extraButtons.clear();
    noByDefault.clear();
  }
};

class FakeProgress : public ProgressWindow {
 public:
  FakeProgress() = default;
  // A window whose Storno button sets the workspace's cancel flag.
  explicit FakeProgress(Workspace& w) : ws(&w) {}

  bool visible = false;
  bool stornoVisible = false;
  std::string text;
  // "show:<text>|storno" / "show:<text>", "text:<text>", "close" in order.
  std::vector<std::string> log;
  // Every text shown, in order.
  std::vector<std::string> shownTexts;
  Workspace* ws = nullptr;

  void Show(const std::string& t, bool storno) override {
    visible = true;
    stornoVisible = storno;
    text = t;
    log.push_back("show:" + t + (storno ? "|storno" : ""));
    shownTexts.push_back(t);
  }
  void SetText(const std::string& t) override {
    text = t;
    log.push_back("text:" + t);
    shownTexts.push_back(t);
  }
  // The Storno button: asks the cancel question when there is one, then
  // sets the cancel flag and hides the window.
  void ClickStorno() {
    if (!visible || !stornoVisible || ws == nullptr) return;
    if (mayCancel && !mayCancel()) return;
    ws->CancelRequested = true;
    visible = false;
  }
  void Close() override {
    visible = false;
    log.push_back("close");
  }
  std::function<bool()> mayCancel;
  void SetCancelQuestion(std::function<bool()> ask) override { mayCancel = std::move(ask); }
};

class FakeFileDialog : public FileDialog {
 public:
  // Scripted paths; nullopt (or an empty script) means the user cancelled.
  std::deque<std::optional<std::string>> opens;
  std::deque<std::optional<std::string>> saves;
  int openAsked = 0;
  int saveAsked = 0;

  std::optional<std::string> AskOpen() override {
    ++openAsked;
    return Next(opens);
  }
  std::optional<std::string> AskSave() override {
    ++saveAsked;
    startedFrom.push_back(proposal);
    return Next(saves);
  }
  // What the save dialog was told to start from, and at each save what it
  // started from.
  std::string proposal;
  std::vector<std::string> startedFrom;
  void ProposeSave(const std::string& p) override { proposal = p; }
  // The file the window says it holds (the next save's proposal).
  std::string current;
  void SetCurrentFile(const std::string& path) override { current = path; }

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& q) {
    if (q.empty()) return std::nullopt;
    auto v = q.front();
    q.pop_front();
    return v;
  }
};

class FakeEventLoop : public EventLoop {
 public:
  int yields = 0;
  std::function<void()> onYield;
  void Yield() override {
    ++yields;
    if (onYield) onYield();
  }
};

class FakePortList : public link::PortList {
 public:
  std::vector<link::SystemPort> ports;
  mutable int asked = 0;
  std::vector<link::SystemPort> SystemPorts() const override {
    ++asked;
    return ports;
  }
};

// A view that records what the workflows asked of the main window.
class FakeView : public MainView {
 public:
  std::vector<int> tabs;
  std::vector<FieldRef> focused;
  int replaced = 0;
  int linkChanged = 0;
  void ShowTab(WindowTab tab) override { tabs.push_back(IndexOf(tab)); }
  void FocusField(FieldRef field) override { focused.push_back(field); }
  void ConfigReplaced() override { ++replaced; }
  void LinkStateChanged(LinkState, const DeviceInfo&) override { ++linkChanged; }
};

// All fakes together with a Services that refers to them. The view stays
// null: a window constructed over these services puts itself there; core
// tests can point it at `view`.
struct FakeServices {
  FakeMessageBox messages;
  FakeProgress progress;
  FakeEventLoop loop;
  FakeFileDialog files;
  FakeView view;
  FakePortList ports;
  Services services{messages, progress, loop, &files, nullptr, &ports};

  FakeServices() = default;
  FakeServices(const FakeServices&) = delete;
  FakeServices& operator=(const FakeServices&) = delete;
};

}  // namespace vexa::fake
