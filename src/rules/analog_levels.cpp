#include "rules/analog_levels.h"

#include "codec/values.h"

namespace vexa::rules {

bool CheckAnalogLevels(float cl1, float hcl1, float cl2, float hcl2, std::uint8_t negation, const AnalogScale& s) {
  (void)negation;
  // Each sum and difference is rounded to single precision before it is
  // compared with the scale's ends; all five conditions are tested.
  const float cl1Low = cl1 - hcl1;
  const float cl1High = cl1 + hcl1;
  const float cl2Low = cl2 - hcl2;
  const float cl2High = cl2 + hcl2;
  bool ok = true;
  if (static_cast<double>(cl1Low) < s.Min) ok = false;
  if (static_cast<double>(cl1High) > s.Max) ok = false;
  if (static_cast<double>(cl2Low) < s.Min) ok = false;
  if (static_cast<double>(cl2High) > s.Max) ok = false;
  if (cl1High > cl2Low) ok = false;
  // A text that reads as no number at all (NaN cannot come from the decimal
  // reading, but a caller may pass one) is never consistent.
  if (cl1Low != cl1Low || cl1High != cl1High || cl2Low != cl2Low || cl2High != cl2High) ok = false;
  return ok;
}

std::string NormalizeLevelText(const AnalogScale& s, std::string_view text, char separator) {
  return FormatNumber(CodeToLevel(s, LevelToCode(s, text)), separator);
}

std::string NormalizeHysteresisText(const AnalogScale& s, std::string_view text, char separator) {
  const std::string t = NormalizeNumber(text, 0, s.Max - s.Min, s.Decimals, separator);
  return FormatNumber(CodeToHysteresis(s, HysteresisToCode(s, t)), separator);
}

}  // namespace vexa::rules
