// Platform services the core calls. The Qt layer implements them with real
// windows; tests implement them with fakes that record and answer.
#pragma once

#include <optional>
#include <string>

#include "workspace/fields.h"
#include "workspace/window_tab.h"

namespace vexa {

namespace link {
class PortList;
}

inline constexpr const char* kAppTitle = "VEXA Init";

enum class Icon { Error, Warning, Information, Question };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel, Extra };

// A modal message box captioned with the application title.
class MessageBox {
 public:
  virtual ~MessageBox() = default;
  virtual Answer Show(Icon icon, const std::string& text, Buttons buttons = Buttons::Ok) = 0;
  // An OK box with one more button captioned `extra`: Answer::Extra when the
  // user chose it. Where there is no such button (the console), a plain OK
  // box.
  virtual Answer ShowWithButton(Icon icon, const std::string& text, const std::string& extra) {
    static_cast<void>(extra);
    return Show(icon, text, Buttons::Ok);
  }
};

// The progress window "Info": not modal, with an optional Storno button that
// sets the workspace's CancelRequested and hides the window.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  virtual void Show(const std::string& text, bool stornoVisible) = 0;
  virtual void SetText(const std::string& text) = 0;  // replaces Napis while shown
  virtual void Close() = 0;                           // harmless when hidden
};

// Open and save dialogs with the filter "EEPROM (*.eep)|*.eep"; they remember
// the last chosen path. nullopt when the user cancels.
class FileDialog {
 public:
  virtual ~FileDialog() = default;
  virtual std::optional<std::string> AskOpen() = 0;
  virtual std::optional<std::string> AskSave() = 0;
};

// Lets windows repaint and buttons respond during long operations.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  virtual void Yield() = 0;
};

// What the core workflows need of the main window. The command-line tools
// pass none.
class MainView {
 public:
  virtual ~MainView() = default;
  virtual void ShowTab(WindowTab tab) = 0;
  virtual void FocusField(FieldRef field) = 0;
  // The whole configuration was replaced (decode): show every field again and
  // apply the enabling rules.
  virtual void ConfigReplaced() = 0;
  // LinkState or DeviceInfo changed: update the link panel, the identification
  // labels and the usage display.
  virtual void LinkStateChanged() = 0;
};

struct Services {
  MessageBox& messages;
  ProgressWindow& progress;
  EventLoop& loop;
  FileDialog* files = nullptr;
  MainView* view = nullptr;
  // The system's serial ports for the port selector; none when null.
  const link::PortList* ports = nullptr;
};

}  // namespace vexa
