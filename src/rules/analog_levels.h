// The analog editor's level arithmetic: keeping typed levels and hystereses on
// the one-byte grid the unit stores, and the consistency test of the two
// hysteresis bands that "&Ok" runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/device_config.h"

namespace vexa::rules {

// True when both hysteresis bands lie inside Min..Max and the CL1 band lies
// wholly below the CL2 band (touching allowed). Sums and differences are
// formed in single precision, as the unit's levels are held. The negation is
// carried for the caller's sake; the bands are compared on the negated value,
// so it does not enter the test.
bool CheckAnalogLevels(float cl1, float hcl1, float cl2, float hcl2, std::uint8_t negation, const AnalogScale& s);

// The level text as it reads after the unit's grid: clamped to Min..Max and
// written back in the user's notation ("50" becomes "49,8" with a comma).
std::string NormalizeLevelText(const AnalogScale& s, std::string_view text, char separator);

// The hysteresis text after the grid: limited to half the span ("80" becomes
// "49,8" on a 0-100 row, "20" becomes "13,5" on the battery row).
std::string NormalizeHysteresisText(const AnalogScale& s, std::string_view text, char separator);

}  // namespace vexa::rules
