// The field rules: what runs when a field loses the focus, in the main window
// and in the row editors. Pure logic on the configuration; the windows show
// the outcome.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"
#include "workspace/device_config.h"
#include "workspace/fields.h"

namespace vexa::rules {

// Which window's variant of the rules runs.
enum class Variant { MainWindow, PhoneEditor, InputEditor, OutputEditor, AnalogEditor };

struct Message {
  std::string text;
  Icon icon = Icon::Error;
  bool operator==(const Message&) const = default;
};

struct FieldCheck {
  // An error: the field keeps its text, the focus goes back to it.
  bool failed = false;
  // Tab of the main window to bring to the front on an error; -1 for none.
  int tab = -1;
  // Message boxes to show, in turn (one error, or the phone-row warnings).
  std::vector<Message> messages;
  // Fields the rules rewrote (normalising rules, cleared check boxes, the
  // battery flag); the window shows them again.
  std::vector<FieldRef> changed;
};

// The state the rules read and write.
struct RuleContext {
  DeviceConfig& config;
  ProgramSettings& settings;
  bool& validationSuppressed;
  bool cancelRequested = false;  // the editors' rules are silent while set
  char decimalSeparator = '.';
};

// Runs the rules of `field` as when it loses the focus. Normalising rules
// rewrite the configuration in place and are listed in `changed`.
FieldCheck CheckField(RuleContext& ctx, FieldRef field, Variant variant = Variant::MainWindow);

// The phone-row consistency rule; clears the check boxes it must and returns
// the warnings in turn. Skipped while validation is suppressed.
FieldCheck CheckPhoneRow(RuleContext& ctx, int row);

}  // namespace vexa::rules
