// Platform services the core calls. The Qt layer implements them with real
// windows; tests implement them with fakes that record and answer.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "model/fields.h"
#include "model/window_tab.h"
#include "platform/event_loop.h"

namespace vexa {

namespace link {
class PortList;
}
struct DeviceInfo;
enum class LinkState;

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
  // A Yes/No question whose default button (Enter) is No: asked where Yes
  // destroys something (a file, the unit's configuration).
  virtual Answer AskNoByDefault(Icon icon, const std::string& text) { return Show(icon, text, Buttons::YesNo); }
};

// The progress window "Info": not modal, with an optional Storno button that
// sets the workspace's CancelRequested and hides the window.
class ProgressWindow {
 public:
  virtual ~ProgressWindow() = default;
  virtual void Show(const std::string& text, bool stornoVisible) = 0;
  virtual void SetText(const std::string& text) = 0;  // replaces Napis while shown
  virtual void Close() = 0;                           // harmless when hidden
  // Blocks done of the blocks to do in the running transfer, shown under the
  // text with the time left; Show() starts without it. Windows that draw no
  // bar ignore it.
  virtual void SetProgress(long done, long total) {
    static_cast<void>(done);
    static_cast<void>(total);
  }
  // Asked when Storno is pressed, before the cancel flag is set: false keeps
  // the operation going and the window shown. None (the default): Storno
  // cancels at once.
  virtual void SetCancelQuestion(std::function<bool()> mayCancel) { static_cast<void>(mayCancel); }
};

// Open and save dialogs with the filter "EEPROM (*.eep)|*.eep"; the open
// dialog proposes the file now in the window, else the folder last opened
// from; the save dialog starts from what ProposeSave last named. nullopt when
// the user cancels.
class FileDialog {
 public:
  virtual ~FileDialog() = default;
  virtual std::optional<std::string> AskOpen() = 0;
  virtual std::optional<std::string> AskSave() = 0;
  // The open dialog captioned for comparing; what it picks never becomes
  // the file the save dialog proposes.
  virtual std::optional<std::string> AskCompare() { return AskOpen(); }
  // The file now in the window (loaded, saved, named on the command line;
  // empty after a read from a unit): the next open selects it.
  virtual void SetCurrentFile(const std::string& path) { static_cast<void>(path); }
  // What the next save dialog starts from: a full path, or a bare name that
  // goes into the folder last saved to. Nothing the dialog showed before
  // stays selected.
  virtual void ProposeSave(const std::string& proposal) { static_cast<void>(proposal); }
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
  // The link's state or what the unit told of itself changed: update the
  // link panel, the identification labels and the usage display.
  virtual void LinkStateChanged(LinkState state, const DeviceInfo& device) = 0;
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
