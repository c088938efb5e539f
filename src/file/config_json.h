// The configuration as JSON, the interchange format of vexa-cli:
// {"general": {...}, "phones": [8], "inputs": [8], "outputs": [8],
//  "outputFunctionByte": n, "analogs": [8]}. Texts are strings, flags
// booleans, numeric fields the text the user sees with "." as decimal
// separator, the two carried bytes integers. rtBattLow is not a key of its
// own: it is analogs[7].AINCL1Dn.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "model/device_config.h"

namespace vexa {

nlohmann::ordered_json ConfigToJson(const DeviceConfig& config);
// Indented by one space per level, without a final newline.
std::string ConfigToJsonText(const DeviceConfig& config);

// Overwrites the fields of `config` that the JSON names; keys that are
// missing keep what `config` holds (pass the start-up configuration). An
// unknown key, a value of the wrong type or more than eight rows is an error:
// false, with `error` naming the key, and `config` untouched.
bool ConfigFromJson(const nlohmann::json& json, DeviceConfig& config, std::string& error);
// A configuration is under 100 kB; a longer text is refused unread.
inline constexpr std::size_t kMaxJsonText = 4u << 20;
// `missing`, when given, receives the keys the text leaves out ("general.PIN",
// "phones[3]"), which keep what `config` held. `warnings`, when given,
// receives a line for each key an object gives twice (texts::JsonGivenTwice):
// the last value counts. Errors and warnings are in the user's words.
bool ConfigFromJsonText(std::string_view text, DeviceConfig& config, std::string& error,
                        std::vector<std::string>* missing = nullptr, std::vector<std::string>* warnings = nullptr);

}  // namespace vexa
