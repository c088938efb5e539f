#include <gtest/gtest.h>

#include <functional>

#include "file/config_file.h"
#include "workspace/compare.h"
#include "workspace/workspace.h"

namespace vexa::test {
namespace {

DeviceConfig Golden(const char* name) {
  Workspace ws;
  EXPECT_EQ(LoadConfigFile(std::string(VEXA_FIXTURES_DIR) + "/" + name, ws), LoadResult::Loaded);
  return ws.config;
}

std::vector<std::string> Lines(const std::vector<FieldDifference>& d) {
  std::vector<std::string> out;
  for (const auto& x : d) out.push_back(x.name + " (" + x.caption + "): '" + x.a + "' → '" + x.b + "'");
  return out;
}

TEST(Compare, NamesEachDifferenceAsTheWindowShowsIt) {
  struct Case {
    const char* name;
    std::function<void(DeviceConfig&)> edit;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"phone number", [](DeviceConfig& c) { c.phones[2].TC = "+420777"; },
       {"TC[2] (T3 Telefonní číslo): '' → '+420777'"}},
      {"input state text", [](DeviceConfig& c) { c.inputs[1].INPZap = "zap"; },
       {"INPZap[1] (I2 Název stavu zapnuto (1)): '' → 'zap'"}},
      {"flag and general text",
       [](DeviceConfig& c) {
         c.general.JmenoStanice = "Lhota";
         c.phones[7].TCUdalost = true;
       },
       {"JmenoStanice (Název stanice): '' → 'Lhota'", "TCUdalost[7] (T8 Odesílat zprávy o událostech): 'ne' → 'ano'"}},
      {"battery text listed once", [](DeviceConfig& c) { c.rtBattLow() = "baterie"; },
       {"rtBattLow (Text hlášení při poklesu napětí): '' → 'baterie'"}},
      {"bits",
       [](DeviceConfig& c) {
         c.SetMaskDOutFnc(1, OutputFunction::PowerSaveState);
         c.analogs[1].SetSendAtOnce(kBitCL2Down, true);
         c.analogs[1].sendAtOnceByte |= 0x20;
       },
       {"outputFunctionByte.bit1 (O2 Indikace stavu šetřícího režimu): 'ne' → 'ano'",
        "sendAtOnceByte[1].bit3 (A2 Hlásit přechod dolu přes CL2: odeslat ihned): 'ne' → 'ano'",
        "sendAtOnceByte[1].bit5 (A2 odeslat ihned: bit 5): 'ne' → 'ano'"}},
  };
  const Workspace ws;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeviceConfig edited = ws.config;
    c.edit(edited);
    EXPECT_EQ(Lines(CompareConfigs(ws.config, edited)), c.lines);
  }
}

TEST(Compare, GoldenFiles) {
  const DeviceConfig startup = Golden("startup.eep");
  const DeviceConfig pumping = Golden("pumping-station.eep");
  const DeviceConfig over = Golden("over-unit-image.eep");
  for (const DeviceConfig* c : {&startup, &pumping, &over}) EXPECT_TRUE(CompareConfigs(*c, *c).empty());

  // The same configuration but for the bits carried in the two bytes.
  std::vector<std::string> names;
  for (const auto& d : CompareConfigs(pumping, over)) names.push_back(d.name);
  EXPECT_EQ(names, (std::vector<std::string>{"outputFunctionByte.bit0", "outputFunctionByte.bit1",
                                             "outputFunctionByte.bit2", "outputFunctionByte.bit4",
                                             "outputFunctionByte.bit5", "outputFunctionByte.bit7",
                                             "sendAtOnceByte[0].bit4", "sendAtOnceByte[0].bit5",
                                             "sendAtOnceByte[0].bit6", "sendAtOnceByte[0].bit7"}));

  // Every difference runs both ways.
  const auto forth = CompareConfigs(startup, pumping);
  const auto back = CompareConfigs(pumping, startup);
  ASSERT_EQ(forth.size(), back.size());
  ASSERT_GT(forth.size(), 40u);
  for (std::size_t i = 0; i < forth.size(); ++i) {
    EXPECT_EQ(forth[i].name, back[i].name);
    EXPECT_EQ(forth[i].a, back[i].b);
    EXPECT_NE(forth[i].a, forth[i].b);
  }
}

}  // namespace
}  // namespace vexa::test
