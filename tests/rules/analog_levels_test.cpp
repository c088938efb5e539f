// The analog editor's level arithmetic: the consistency test of "&Ok" and the
// normalisation of levels and hystereses onto the unit's one-byte grid.
#include "rules/analog_levels.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "codec/values.h"
#include "model/reference_tables.h"

namespace vexa::rules {
namespace {

const AnalogScale& Percent() {
  static const AnalogScale s = BuildAnalogScales()[0];
  return s;
}
const AnalogScale& Battery() {
  static const AnalogScale s = BuildAnalogScales()[kBatteryRow];
  return s;
}

struct LevelsCase {
  const char* what;
  const AnalogScale* scale;
  float cl1, hcl1, cl2, hcl2;
  bool accepted;
};

TEST(CheckAnalogLevels, BandsMustFitTheRangeAndNotOverlap) {
  const LevelsCase cases[] = {
      {"bands touch each other and max", &Percent(), 40, 20, 80, 20, true},
      {"whole range, no hysteresis", &Percent(), 0, 0, 100, 0, true},
      {"equal levels without hysteresis", &Percent(), 50, 0, 50, 0, true},
      {"CL1 band below min", &Percent(), 20, 40, 80, 0, false},
      {"CL2 band above max", &Percent(), 40, 0, 80, 40, false},
      {"CL1 above CL2", &Percent(), 80, 0, 40, 0, false},
      {"bands overlap by a tenth", &Percent(), 30, 10.1f, 50, 10, false},
      {"CL1 band touches min", &Percent(), 20, 20, 60, 0, true},
      {"CL1 band above max", &Percent(), 95, 10, 100, 0, false},
      {"CL2 band below min", &Percent(), 0, 0, 5, 10, false},
      // 99.9f + 0.1f is 100.0000015 exactly, but 100 once rounded to single
      // precision: the band ends at max.
      {"sum rounded in single precision", &Percent(), 0, 0, 99.9f, 0.1f, true},
      {"battery: CL2 band ends at 27", &Battery(), 12.5f, 1, 21, 6, true},
      {"battery: CL2 band passes 27", &Battery(), 12.5f, 1, 21, 6.1f, false},
      {"battery: CL1 band below 0", &Battery(), 1, 1.5f, 20, 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckAnalogLevels(c.cl1, c.hcl1, c.cl2, c.hcl2, 0, *c.scale), c.accepted) << c.what;
    // The negation does not enter the test.
    EXPECT_EQ(CheckAnalogLevels(c.cl1, c.hcl1, c.cl2, c.hcl2, 1, *c.scale), c.accepted) << c.what << " (negated)";
  }
}

struct NormalCase {
  const AnalogScale* scale;
  bool hysteresis;
  const char* typed;
  char separator;
  const char* shown;
};

TEST(AnalogLevelNormalisation, PutsTypedValuesOnTheUnitsGridInTheUsersNotation) {
  const NormalCase cases[] = {
      {&Percent(), false, "50", ',', "49,8"},   {&Percent(), false, "50", '.', "49.8"},
      {&Percent(), false, "50,2", '.', "50.2"}, {&Percent(), false, "150", '.', "100"},
      {&Percent(), false, "abc", ',', "0"},     {&Percent(), false, "-5", '.', "0"},
      {&Percent(), false, "", '.', "0"},        {&Percent(), false, "100", ',', "100"},
      {&Battery(), false, "30", ',', "27"},     {&Battery(), false, "12", '.', "12"},
      {&Battery(), false, "12.5", ',', "12,5"}, {&Percent(), true, "80", ',', "49,8"},
      {&Percent(), true, "5", '.', "5.1"},      {&Percent(), true, "abc", '.', "0"},
      {&Percent(), true, "-3", '.', "0"},       {&Battery(), true, "20", ',', "13,5"},
      {&Battery(), true, "20", '.', "13.5"},    {&Battery(), true, "1", '.', "1"},
  };
  for (const auto& c : cases) {
    const std::string out = c.hysteresis ? NormalizeHysteresisText(*c.scale, c.typed, c.separator)
                                         : NormalizeLevelText(*c.scale, c.typed, c.separator);
    EXPECT_EQ(out, c.shown) << (c.hysteresis ? "hysteresis " : "level ") << c.typed << " on 0-" << c.scale->Max;
  }
}

TEST(AnalogLevelNormalisation, EveryGridValueIsShownAgainUnchangedAndKeepsItsCode) {
  // A text the normalisation wrote must survive a second focus loss, and the
  // code the unit stores must be the one the text came from, on every scale.
  for (const AnalogScale& s : BuildAnalogScales()) {
    for (char sep : {'.', ','}) {
      for (int code = 0; code <= 255; ++code) {
        const std::string shown = FormatNumber(CodeToLevel(s, static_cast<std::uint8_t>(code)), sep);
        ASSERT_EQ(NormalizeLevelText(s, shown, sep), shown) << "level code " << code << " on 0-" << s.Max;
        ASSERT_EQ(LevelToCode(s, shown), code) << "level code " << code << " on 0-" << s.Max;
      }
      // A decoded hysteresis may lie just above what can be typed (code 128
      // on 0-100 shows 50, which is typed as 49.8); once normalised it stays.
      for (int code = 0; code <= 128; ++code) {
        const std::string decoded = FormatNumber(CodeToHysteresis(s, static_cast<std::uint8_t>(code)), sep);
        const std::string shown = NormalizeHysteresisText(s, decoded, sep);
        ASSERT_EQ(NormalizeHysteresisText(s, shown, sep), shown) << "hysteresis code " << code << " on 0-" << s.Max;
        ASSERT_LE(std::abs(HysteresisToCode(s, shown) - code), 1) << "hysteresis code " << code << " on 0-" << s.Max;
      }
    }
  }
}

TEST(AnalogLevelNormalisation, AnyTextComesOutAsANumberWithinTheScale) {
  const char* texts[] = {"",    "-",     ",",    ".",         "1e400", "-1e400",   "nan",
                         "inf", "12,,5", "9999", "0,0000001", "+7",    "\xC3\xA9", "1 000"};
  for (const AnalogScale& s : BuildAnalogScales()) {
    for (const char* t : texts) {
      const auto level = ParseNumber(NormalizeLevelText(s, t, ','));
      ASSERT_TRUE(level.has_value()) << t;
      EXPECT_GE(*level, s.Min) << t;
      EXPECT_LE(*level, s.Max) << t;
      const auto hyst = ParseNumber(NormalizeHysteresisText(s, t, '.'));
      ASSERT_TRUE(hyst.has_value()) << t;
      EXPECT_GE(*hyst, 0) << t;
      EXPECT_LE(*hyst, (s.Max - s.Min) / 2) << t;
    }
  }
}

}  // namespace
}  // namespace vexa::rules
