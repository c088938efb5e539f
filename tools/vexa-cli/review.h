// What check and build say about a configuration before it goes anywhere:
// the window's rules run over it as if every field was left once.
#pragma once

#include <iostream>
#include <string>

#include "rules/config_check.h"
#include "workspace/fields.h"

namespace vexa::cli {

// "DobaPlatnostiSMS: '45' → '30'"
inline std::string ChangeLine(const rules::Change& c) {
  return FieldDisplayName(c.field) + ": '" + c.before + "' → '" + c.after + "'";
}

inline std::string OffenceLine(const rules::Offence& o) { return FieldDisplayName(o.field) + ": " + o.message; }

inline constexpr const char* kMissingKeysHelp =
    "Keys missing from a JSON configuration keep their start-up values.\n";

}  // namespace vexa::cli
