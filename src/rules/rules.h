// The field rules: what runs when a field loses the focus, in the main window
// and in the row editors. Pure logic on the configuration; the windows show
// the outcome.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/text.h"
#include "platform/services.h"
#include "rules/charsets.h"
#include "model/device_config.h"
#include "model/fields.h"
#include "model/window_tab.h"

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
  // Tab of the main window to bring to the front on an error.
  std::optional<WindowTab> tab;
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

// True when every character of `text` occurs in `allowed` (exact comparison);
// an empty text is true.
bool HasOnlyAllowedChars(std::string_view text, std::string_view allowed);
// The line under a character rule's message that names the characters of
// `text` not in `allowed`, each once in the order they occur:
// "Nepovolené znaky: „í“, „ť“." A space, a control character and a byte that
// is no UTF-8 are named so that one can see them. Empty when all are allowed.
std::string RefusedCharsLine(std::string_view text, std::string_view allowed);

// False when `name` is not empty and is, ignoring case, equal to or a
// beginning of one of the ";"-separated keywords of `keywordList`.
bool IsKeywordFree(std::string_view name, std::string_view keywordList);
// The same test against a list of entries kept apart (an entry may then hold
// any character, ";" included). Empty entries never collide.
bool IsKeywordFree(std::string_view name, const std::vector<std::string>& entries);
// The first entry `name` equals or begins, ignoring case; none when it is free.
std::optional<std::size_t> FirstCollision(std::string_view name, const std::vector<std::string>& entries);

// True when the shorter text (the first when both are as long) is not empty
// and equals, ignoring case, the beginning of the other one.
bool isPrefixOfEachOther(std::string_view a, std::string_view b);
// Equality ignoring the case of letters (ASCII and the Central European
// letters of the unit's code page).
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// A phone number in international form: with UTOEnable ticked, a national
// number gets UTO in front (one leading "0" dropped) and a leading "00"
// becomes "+". Callers pass only non-empty numbers.
std::string NormalizePhoneNumber(std::string_view number, const ProgramSettings& settings);

// The typed-number readers, shared with the codec.
using vexa::ParseDecimal;
using vexa::ParseDecimalExact;

// The tab of the main window a failing rule of `field` switches to; none for
// fields whose rules never fail.
std::optional<WindowTab> TabOf(FieldRef field);

// Runs the rules of `field` as when it loses the focus. Normalising rules
// rewrite the configuration in place and are listed in `changed`.
FieldCheck CheckField(RuleContext& ctx, FieldRef field, Variant variant = Variant::MainWindow);

// The phone-row consistency rule; clears the check boxes it must and returns
// the warnings in turn (`changed` is empty when it cleared nothing). Skipped
// while validation is suppressed; it never sets or clears that flag itself.
FieldCheck CheckPhoneRow(RuleContext& ctx, int row);

}  // namespace vexa::rules
