// What check and build say about a configuration before it goes anywhere:
// the window's rules run over it as if every field was left once.
#pragma once

#include <iostream>
#include <string>

#include "codec/text.h"
#include "texts/texts.h"
#include "rules/config_check.h"
#include "model/device_config.h"
#include "model/fields.h"

namespace vexa::cli {

// "DobaPlatnostiSMS: '45' → '30'"; the texts terminal-safe.
inline std::string ChangeLine(const rules::Change& c) {
  return FieldDisplayName(c.field) + ": '" + TerminalSafe(c.before) + "' " + texts::kArrow + " '" +
         TerminalSafe(c.after) + "'";
}

inline std::string OffenceLine(const rules::Offence& o) {
  return FieldDisplayName(o.field) + ": " + TerminalSafeLines(o.message);
}

// A JSON configuration's warnings (a key given twice), one a line on standard error.
inline void SayWarnings(const std::string& path, const std::vector<std::string>& warnings) {
  for (const auto& w : warnings) std::cerr << TerminalSafe(path + ": " + texts::kWarningLead + w) << "\n";
}

inline constexpr const char* kMissingKeysHelp =
    "Keys missing from a JSON configuration keep their start-up values. Phone numbers are\n"
    "taken as written: the program's UTO prefix, a setting of the PC, is not added.\n";

// The program's settings the rules read: those of start-up, except that a
// national phone number gets no UTO prefix, which is the PC's setting and not
// part of the configuration.
inline ProgramSettings CommandLineSettings() {
  ProgramSettings s;
  s.UTOEnable = false;
  return s;
}

}  // namespace vexa::cli
