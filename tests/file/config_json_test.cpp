// The JSON interchange of vexa-cli: shape, defaults for missing keys, and
// errors that name the key.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "file/config_json.h"
#include "texts/texts.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

TEST(ConfigJson, WritesThenReadsBackEveryField) {
  DeviceConfig c = Workspace().config;
  c.general.JmenoStanice = "Čerpací stanice";
  c.general.PINAuth = true;
  c.general.PSOnM = "30";
  c.phones[6].TC = "+420602123456";
  c.phones[6].TCUdalost = true;
  c.inputs[7].MaskDInHLAlarm = true;
  c.outputs[3].OUTimpulsLEN = "2.5";
  c.outputFunctionByte = 0xB6;
  c.analogs[7].AINCL1Dn = "Baterie vybita";
  c.analogs[2].sendAtOnceByte = 0xF5;
  c.analogs[5].AINNeg = true;
  DeviceConfig back;
  std::string error;
  ASSERT_TRUE(ConfigFromJsonText(ConfigToJsonText(c), back, error)) << error;
  EXPECT_EQ(back, c);
  EXPECT_EQ(back.rtBattLow(), "Baterie vybita");
}

TEST(ConfigJson, NumericFieldsTravelWithADecimalPoint) {
  DeviceConfig c = Workspace().config;
  c.outputs[0].OUTimpulsLEN = "2,5";
  c.analogs[0].AINCL1Level = "49,8";
  c.analogs[0].AINNazev = "a,b";  // a text keeps its comma
  const auto j = ConfigToJson(c);
  EXPECT_EQ(j["outputs"][0]["OUTimpulsLEN"], "2.5");
  EXPECT_EQ(j["analogs"][0]["AINCL1Level"], "49.8");
  EXPECT_EQ(j["analogs"][0]["AINNazev"], "a,b");
}

TEST(ConfigJson, MissingKeysKeepTheirValuesAndNumbersAreAccepted) {
  DeviceConfig c = Workspace().config;
  std::string error;
  ASSERT_TRUE(ConfigFromJsonText(R"({"general": {"PSOnH": 2, "DobaPlatnostiSMS": "7"},
                                     "outputs": [{"OUTimpulsLEN": 2.5}],
                                     "analogs": [{}, {"AINCL2Level": 80}]})",
                                 c, error))
      << error;
  DeviceConfig expected = Workspace().config;
  expected.general.PSOnH = "2";
  expected.general.DobaPlatnostiSMS = "7";
  expected.outputs[0].OUTimpulsLEN = "2.5";
  expected.analogs[1].AINCL2Level = "80";
  EXPECT_EQ(c, expected);
}

TEST(ConfigJson, ErrorsNameTheKeyAndLeaveTheConfigurationAlone) {
  struct Case {
    const char* json;
    const char* key;  // must appear in the error
  };
  const std::vector<Case> cases = {
      {R"({"general": {"Jmeno": "x"}})", "general.Jmeno"},
      {R"({"general": {"PIN": 1234}})", "general.PIN"},
      {R"({"general": {"PINAuth": 1}})", "general.PINAuth"},
      {R"({"general": {"PSOnH": true}})", "general.PSOnH"},
      {R"({"general": {"rtBattLow": "x"}})", "general.rtBattLow"},
      {R"({"general": []})", "general"},
      {R"({"phones": [{}, {"TC": null}]})", "phones[1].TC"},
      {R"({"phones": {}})", "phones"},
      {R"({"inputs": [{}, {}, {}, {}, {}, {}, {}, {}, {}]})", "inputs"},
      {R"({"inputs": [{}, 5]})", "inputs[1]"},
      {R"({"outputs": [{"OUTNeg": "true"}]})", "outputs[0].OUTNeg"},
      {R"({"analogs": [{"sendAtOnceByte": 256}]})", "analogs[0].sendAtOnceByte"},
      {R"({"analogs": [{"sendAtOnceByte": -1}]})", "analogs[0].sendAtOnceByte"},
      {R"({"analogs": [{"sendAtOnceByte": 1.5}]})", "analogs[0].sendAtOnceByte"},
      {R"({"outputFunctionByte": "1"})", "outputFunctionByte"},
      {R"({"rtBattLow": "x"})", "rtBattLow"},
      {R"({"general": {"PIN": "1"}, "extra": 1})", "extra"},
  };
  for (const auto& c : cases) {
    DeviceConfig cfg = Workspace().config;
    const DeviceConfig before = cfg;
    std::string error;
    EXPECT_FALSE(ConfigFromJsonText(c.json, cfg, error)) << c.json;
    EXPECT_NE(error.find(c.key), std::string::npos) << c.json << " -> " << error;
    EXPECT_EQ(cfg, before) << c.json;
  }
  DeviceConfig cfg;
  std::string error;
  EXPECT_FALSE(ConfigFromJsonText("{\"general\": ", cfg, error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ConfigFromJsonText("[1, 2]", cfg, error));
  EXPECT_FALSE(ConfigFromJsonText("\"\xC3\x28\"", cfg, error));  // invalid UTF-8
}

// A text that is no JSON: the error says where the parser stopped, the
// column counted in characters.
TEST(ConfigJson, SyntaxErrorsGiveTheLineAndColumn) {
  const struct {
    const char* json;
    std::size_t line, column;
  } cases[] = {
      {"{\"general\": ", 1, 13},                             // the text ends early
      {"{\n  \"general\": {\"PIN\": 12a}\n}", 2, 24},          // a letter after a number
      {"{\"general\": {\"PIN\": \"S\u00ed\u0165\" x}}", 1, 27},  // after two-byte characters
  };
  for (const auto& c : cases) {
    DeviceConfig cfg;
    std::string error;
    EXPECT_FALSE(ConfigFromJsonText(c.json, cfg, error)) << c.json;
    EXPECT_EQ(error, texts::JsonSyntaxError(c.line, c.column)) << c.json;
  }
}

// A key given twice: the last value counts, and a warning names the key.
TEST(ConfigJson, KeysGivenTwiceAreWarnedAbout) {
  using Value = std::string (*)(const DeviceConfig&);
  const Value pin = [](const DeviceConfig& c) { return c.general.PIN; };
  const struct {
    const char* json;
    std::vector<std::string> keys;
    Value value;  // "2222" when the last value counts
  } cases[] = {
      {R"({"general": {"PIN": "1111", "PIN": "2222"}})", {"general.PIN"}, pin},
      {R"({"phones": [{}, {"TC": "1", "TC": "2222"}]})", {"phones[1].TC"},
       [](const DeviceConfig& c) { return c.phones[1].TC; }},
      {R"({"inputs": [{"INPZap": "a"}], "inputs": [{}, {"INPZap": "b"}], "general": {"PIN": "2222"}})", {"inputs"}, pin},
      {R"({"general": {"PIN": "2222"}, "phones": [{"TC": "2222"}, {"TC": "1"}]})", {}, pin},  // same key, other rows
  };
  for (const auto& c : cases) {
    DeviceConfig cfg = Workspace().config;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ConfigFromJsonText(c.json, cfg, error, nullptr, &warnings)) << error;
    EXPECT_EQ(c.value(cfg), "2222") << c.json;
    std::vector<std::string> expected;
    for (const auto& k : c.keys) expected.push_back(texts::JsonGivenTwice(k));
    EXPECT_EQ(warnings, expected) << c.json;
  }
}

}  // namespace
}  // namespace vexa
