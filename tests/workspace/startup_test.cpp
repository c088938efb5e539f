// The start-up state of the program: reference tables, analog scales and the
// computed defaults of the configuration.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/reference_tables.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

TEST(ReferenceTables, MemorySizeTextsAreRightAlignedUsableSizes) {
  const ReferenceTables t = BuildReferenceTables();
  const std::vector<std::string> expected = {"    64 byte", "   192 byte", "   448 byte", "   960 byte", "  1984 byte",
                                             "  4032 byte", "  8128 byte", " 16320 byte", " 32704 byte", " 65472 byte"};
  ASSERT_EQ(t.memorySizes.size(), expected.size());
  for (std::size_t n = 0; n < expected.size(); ++n) {
    EXPECT_EQ(t.memorySizes[n].code, n);
    EXPECT_EQ(t.memorySizes[n].text, expected[n]);
    ASSERT_NE(LookUp(t.memorySizes, static_cast<std::uint32_t>(n)), nullptr);
    EXPECT_EQ(LookUp(t.memorySizes, static_cast<std::uint32_t>(n))->text, expected[n]);
  }
  EXPECT_EQ(LookUp(t.memorySizes, 10), nullptr);
}

TEST(ReferenceTables, ModemsInTheirOrder) {
  const ReferenceTables t = BuildReferenceTables();
  const std::vector<std::pair<std::uint32_t, std::string>> expected = {
      {0, "M1 Siemens"},   {1, "A1 Falcom"},      {2, "A1 Siemens"},     {3, "M20 Siemens"},
      {4, "TC35 Siemens"}, {32, "GM12 Ericsson"}, {33, "GM25 Ericsson"},
  };
  ASSERT_EQ(t.modems.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(t.modems[i].code, expected[i].first);
    EXPECT_EQ(t.modems[i].text, expected[i].second);
  }
  for (std::uint32_t unknown : {5u, 31u, 34u, 255u}) EXPECT_EQ(LookUp(t.modems, unknown), nullptr) << unknown;
}

TEST(ReferenceTables, DeviceTypesAndTheirEmptySlots) {
  const ReferenceTables t = BuildReferenceTables();
  ASSERT_EQ(t.deviceTypes.size(), 6u);
  struct Case {
    std::uint32_t code;
    const char* text;
  };
  // High byte, then 0xD3, then 0x82.
  const std::vector<Case> cases = {
      {0x19D382, "KORIN3"},
      {0x22D382, "KORIN2"},
      {0x20D382, "TBX"},
      {0x21D382, "VEXA"},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(t.deviceTypes[i].code, cases[i].code);
    EXPECT_EQ(t.deviceTypes[i].text, cases[i].text);
    const CodeText* hit = LookUp(t.deviceTypes, cases[i].code);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit, &t.deviceTypes[i]);
  }
  // A unit reporting 0 matches the first empty slot: an empty product name.
  const CodeText* empty = LookUp(t.deviceTypes, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty, &t.deviceTypes[4]);
  EXPECT_EQ(empty->text, "");
  EXPECT_EQ(t.deviceTypes[5].code, 0u);
  for (std::uint32_t unknown : {0x21D383u, 0x21u, 0xD382u, 0xFFFFFFu}) {
    EXPECT_EQ(LookUp(t.deviceTypes, unknown), nullptr) << unknown;
  }
}

TEST(ReferenceTables, SelectorEntries) {
  const ReferenceTables t = BuildReferenceTables();
  EXPECT_EQ(t.smsCentres, (std::vector<std::string>{"+420602909909", "+420603052000", "+420608005681"}));
  EXPECT_EQ(t.ports, (std::vector<std::string>{"COM 1", "COM 2", "COM 3", "COM 4"}));
}

TEST(AnalogScales, PercentTemperatureAndBattery) {
  const auto scales = BuildAnalogScales();
  for (int r = 0; r < kRows; ++r) {
    const AnalogScale& s = scales[r];
    EXPECT_EQ(s.Min, 0) << r;
    EXPECT_EQ(s.Max, r == kBatteryRow ? 27 : 100) << r;
    EXPECT_EQ(s.Decimals, 1) << r;
    EXPECT_EQ(s.Unit, r <= 4 ? "%" : (r <= 6 ? "°C" : "V")) << r;
  }
}

TEST(Startup, LevelsStartAtTheEndsOfEachScale) {
  const Workspace ws;
  for (int r = 0; r < kRows; ++r) {
    EXPECT_EQ(ws.config.analogs[r].AINCL1Level, "0") << r;
    EXPECT_EQ(ws.config.analogs[r].AINCL2Level, r == kBatteryRow ? "27" : "100") << r;
    EXPECT_EQ(ws.config.analogs[r].AINHCL1Level, "0") << r;
    EXPECT_EQ(ws.config.analogs[r].AINHCL2Level, "0") << r;
  }
}

TEST(Startup, LevelsFollowTheScaleTheyAreGiven) {
  std::array<AnalogScale, kRows> scales = BuildAnalogScales();
  scales[2] = {-12.5, 60.25, 1, "°C"};
  DeviceConfig c;
  ApplyStartupDefaults(c, scales);
  EXPECT_EQ(c.analogs[2].AINCL1Level, "-12.5");
  EXPECT_EQ(c.analogs[2].AINCL2Level, "60.25");
  EXPECT_EQ(c.analogs[1].AINCL2Level, "100");
}

TEST(Startup, UsageDisplayBeforeAnyUnitIsIdentified) {
  const Workspace ws;
  const MemoryUsage u = UpdateMemoryUsage(ws.config, DeviceInfo{}.MemorySize);
  EXPECT_EQ(u.usage, 430);
  EXPECT_EQ(u.usageText, "430 byte");
  EXPECT_EQ(u.freeText, "?");
  EXPECT_EQ(u.freeColour, kBlue);
}

TEST(Startup, BatteryTextIsTheCrossingTextOfTheBatteryRow) {
  DeviceConfig c;
  c.rtBattLow() = "Slaba baterie";
  EXPECT_EQ(c.analogs[kBatteryRow].AINCL1Dn, "Slaba baterie");
  c.analogs[kBatteryRow].AINCL1Dn = "Baterie";
  EXPECT_EQ(c.rtBattLow(), "Baterie");
  for (int r = 0; r < kBatteryRow; ++r) EXPECT_EQ(c.analogs[r].AINCL1Dn, "") << r;
}

}  // namespace
}  // namespace vexa
