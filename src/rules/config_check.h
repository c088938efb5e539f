// Checks over a whole configuration: the output checks the write workflow runs
// before it programs a unit, and every field rule as if each field lost the
// focus once (vexa-cli check).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/device_config.h"
#include "model/fields.h"

namespace vexa::rules {

struct Offence {
  FieldRef field;
  std::string message;  // the program's own Czech text
  bool operator==(const Offence&) const = default;
};

// The first output name or command that collides with another output's name
// or with one of its own commands; nullopt when all pass.
std::optional<Offence> CheckOutputs(const DeviceConfig& config);
// Every offence of the output checks, outputs 1 to 8, each output's texts in
// the order name, Zapnuto, Vypnuto, impuls.
std::vector<Offence> CheckAllOutputs(const DeviceConfig& config);

// Every field rule (in tab order) and then the output checks, over a copy of
// the configuration; each offence once.
std::vector<Offence> CheckConfiguration(const DeviceConfig& config, const ProgramSettings& settings,
                                        char decimalSeparator = '.');

// A value the window's rules rewrite when the field is left.
struct Change {
  FieldRef field;
  std::string before;  // texts as they are, flags as "true" / "false"
  std::string after;
  bool operator==(const Change&) const = default;
};

struct Review {
  std::vector<Offence> offences;  // CheckConfiguration's, then every text over its typing limit
  std::vector<Change> changes;    // in tab order
};

// What the window would do to a configuration it never showed (one read from
// JSON): every field left once in tab order, its normalising rules applied to
// `config` in place, its failing rules and the output checks reported, and
// every text longer than the window lets one type reported too.
Review ReviewConfiguration(DeviceConfig& config, const ProgramSettings& settings, char decimalSeparator = '.');

// The line added under the success message of a file load or a unit read
// when what arrived breaks the field rules (a damaged file can decode into
// any bytes): "Tyto položky neodpovídají pravidlům programu: PIN, I5 Název."
// with each field named once, as the windows caption it, hidden and disabled
// rows included. Empty when every rule passes.
std::string BrokenFieldsLine(const DeviceConfig& config, const ProgramSettings& settings, char decimalSeparator);
// `message`, with BrokenFieldsLine on a second line when there is one.
std::string WithBrokenFields(const std::string& message, const DeviceConfig& config,
                             const ProgramSettings& settings, char decimalSeparator);

}  // namespace vexa::rules
