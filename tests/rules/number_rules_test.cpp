// Reading typed decimals and putting phone numbers into international form.
#include <gtest/gtest.h>

#include <vector>

#include "rules/rules.h"

namespace vexa::rules {
namespace {

struct DecimalCase {
  const char* text;
  float value;
};

TEST(ParseDecimal, CutsToOneDecimalAndKeepsEveryTypedTenth) {
  const std::vector<DecimalCase> cases = {
      {"12,37", 12.3f}, {"12.37", 12.3f}, {"2,75", 2.7f},   {"0,7", 0.7f},    {"49,8", 49.8f}, {"0.1", 0.1f},
      {"25,5", 25.5f},  {"2,3", 2.3f},    {"99,9", 99.9f},  {"100", 100.0f},  {"1.2.3", 1.2f}, {"", 0.0f},
      {",", 0.0f},      {",5", 0.5f},     {"5,", 5.0f},     {"12abc", 12.0f}, {"abc", 0.0f},   {"007,09", 7.0f},
      {"-0,55", -0.6f}, {"-2,5", -2.5f},  {"-2,50", -2.5f}, {"150", 150.0f},  {"0,99", 0.9f},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.value) << c.text;
  // Every tenth from 0 to 100 reads back as itself, in both notations.
  for (int t = 0; t <= 1000; ++t) {
    const std::string dot = std::to_string(t / 10) + "." + std::to_string(t % 10);
    const std::string comma = std::to_string(t / 10) + "," + std::to_string(t % 10);
    const float expected = static_cast<float>(t / 10.0);
    ASSERT_EQ(ParseDecimal(dot), expected) << dot;
    ASSERT_EQ(ParseDecimal(comma), expected) << comma;
  }
}

TEST(ParseDecimal, HugeNumbersDoNotOverflow) {
  const std::string huge(400, '9');
  EXPECT_EQ(ParseDecimal(huge), std::numeric_limits<float>::max());
  EXPECT_GT(ParseDecimalExact("99999999999999999999"), 1e19);
}

struct PhoneCase {
  const char* number;
  const char* uto;
  bool enabled;
  const char* normalized;
};

TEST(NormalizePhoneNumber, PutsTheNumberIntoInternationalForm) {
  const std::vector<PhoneCase> cases = {
      {"0603123456", "+420", true, "+420603123456"},  // national with leading 0
      {"603123456", "+420", true, "+420603123456"},   // national without it
      {"00420603123456", "+420", true, "+420603123456"},
      {"+421903123456", "+420", true, "+421903123456"},
      {"+420603123456", "+420", true, "+420603123456"},
      {"0603123456", "+420", false, "0603123456"},  // switch off: as typed
      {"00420603123456", "+420", false, "00420603123456"},
      {"420603123456", "420", true, "420603123456"},  // already begins with UTO
      {"0", "+420", true, "+420"},
      {"00", "+420", true, "+"},
      {"00603", "", true, "+603"},  // empty UTO: every number begins with it
      {"0603", "", true, "0603"},
      {"0603", "+49", true, "+49603"},
  };
  for (const auto& c : cases) {
    ProgramSettings s;
    s.UTO = c.uto;
    s.UTOEnable = c.enabled;
    EXPECT_EQ(NormalizePhoneNumber(c.number, s), c.normalized) << c.number << " UTO " << c.uto;
  }
}

}  // namespace
}  // namespace vexa::rules
