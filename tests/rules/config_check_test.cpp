// The output checks before a write, and every rule over a whole configuration.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "file/config_json.h"
#include "rules/config_check.h"
#include "rules/rules.h"
#include "workspace/workspace.h"

namespace vexa::rules {
namespace {

std::string NameMsg(const char* label, const char* why) {
  return std::string("Název výstupu '") + label +
         "' není správně zadán. Jména výstupů se nesmějí shodovat a ani být předponou jiného názvu výstupu. EEPROM "
         "nelze naprogramovat dokud toto nebude odstraněno.\n" + why;
}
std::string ZapMsg(const char* label, const char* why) {
  return std::string("Název 'Zapnuto' výstupu '") + label +
         "' není správně zadán. Povel pro zapnutí se musí lišit od povelu pro vypnutí i impuls a nesmí být "
         "předponou názvu některého výstupu. EEPROM nelze naprogramovat dokud toto nebude odstraněno.\n" + why;
}
std::string VypMsg(const char* label, const char* why) {
  return std::string("Název 'Vypnuto' výstupu '") + label +
         "' není správně zadán. Povel pro vypnutí se musí lišit od povelu pro impuls i zapnutí a nesmí být "
         "předponou názvu některého výstupu. EEPROM nelze naprogramovat dokud toto nebude odstraněno.\n" + why;
}
std::string ImpMsg(const char* label, const char* why) {
  return std::string("Název 'impuls' výstupu '") + label +
         "' není správně zadán. Povel pro impuls se musí lišit od povelu pro vypnutí i zapnutí a nesmí být "
         "předponou názvu některého výstupu. EEPROM nelze naprogramovat dokud toto nebude odstraněno.\n" + why;
}

struct OutputsCase {
  const char* what;
  std::vector<DigitalOutput> outputs;  // rows from 0; the rest stay empty
  std::optional<Offence> first;
};

DigitalOutput Out(const char* name, const char* zap, const char* vyp, const char* imp) {
  DigitalOutput o;
  o.OUTNazev = name;
  o.OUTZap = zap;
  o.OUTVyp = vyp;
  o.OUTimpuls = imp;
  return o;
}

TEST(CheckOutputs, FirstOffendingTextNamesItsOutput) {
  const std::vector<OutputsCase> cases = {
      {"all empty", {}, std::nullopt},
      {"distinct", {Out("Cerpadlo", "ZAP_C", "VYP_C", "IMP_C"), Out("Svetlo", "ON_S", "OFF_S", "")}, std::nullopt},
      {"name of O2 begins a command of O5",
       {Out("", "", "", ""), Out("Svetlo", "", "", ""), Out("", "", "", ""), Out("", "", "", ""),
        Out("", "svetlo zap", "", "")},
       Offence{{Field::OUTNazev, 1}, NameMsg("O2", "Je předponou názvu 'Zapnuto' výstupu O5 („svetlo zap“).")}},
      {"equal commands fail at Zapnuto", {Out("", "ZAP", "zap", "")}, Offence{{Field::OUTZap, 0}, ZapMsg("O1", "Je stejný jako název 'Vypnuto' téhož výstupu O1 („zap“).")}},
      {"Vypnuto begins Zapnuto", {Out("", "ONX", "ON", "")}, Offence{{Field::OUTVyp, 0}, VypMsg("O1", "Je předponou názvu 'Zapnuto' téhož výstupu O1 („ONX“).")}},
      {"impuls begins Vypnuto", {Out("", "A1", "PX", "P")}, Offence{{Field::OUTimpuls, 0}, ImpMsg("O1", "Je předponou názvu 'Vypnuto' téhož výstupu O1 („PX“).")}},
      {"command begins a name",
       {Out("Cerpadlo", "", "", ""), Out("", "cerp", "", "")},
       Offence{{Field::OUTZap, 1}, ZapMsg("O2", "Je předponou názvu výstupu O1 („Cerpadlo“).")}},
      {"name begins its own command", {Out("Pump", "PumpOn", "", "")},
       Offence{{Field::OUTNazev, 0}, NameMsg("O1", "Je předponou názvu 'Zapnuto' téhož výstupu O1 („PumpOn“).")}},
      {"equal names", {Out("Pump", "", "", ""), Out("PUMP", "", "", "")},
       Offence{{Field::OUTNazev, 0}, NameMsg("O1", "Je stejný jako název výstupu O2 („PUMP“).")}},
      {"same commands of two outputs pass", {Out("A", "ON", "OFF", ""), Out("B", "ON", "OFF", "")}, std::nullopt},
      {"disabled row O8 is checked",
       {Out("X", "", "", ""), {}, {}, {}, {}, {}, {}, Out("", "", "", "x")},
       Offence{{Field::OUTNazev, 0}, NameMsg("O1", "Je stejný jako název 'Impuls' výstupu O8 („x“).")}},
  };
  for (const auto& c : cases) {
    DeviceConfig config;
    for (std::size_t i = 0; i < c.outputs.size(); ++i) config.outputs[i] = c.outputs[i];
    const auto first = CheckOutputs(config);
    ASSERT_EQ(first.has_value(), c.first.has_value()) << c.what;
    if (first) {
      EXPECT_EQ(first->field, c.first->field) << c.what;
      EXPECT_EQ(first->message, c.first->message) << c.what;
      ASSERT_FALSE(CheckAllOutputs(config).empty());
      EXPECT_EQ(CheckAllOutputs(config).front(), *first) << c.what;
    }
  }
}

TEST(CheckAllOutputs, ListsEveryOffenceInOrder) {
  DeviceConfig config;
  config.outputs[0] = Out("", "ON", "ON", "");
  config.outputs[1] = Out("Pump", "", "", "");
  config.outputs[2] = Out("", "pu", "", "");
  const auto all = CheckAllOutputs(config);
  const std::vector<Offence> expected = {
      {{Field::OUTZap, 0}, ZapMsg("O1", "Je stejný jako název 'Vypnuto' téhož výstupu O1 („ON“).")},
      {{Field::OUTVyp, 0}, VypMsg("O1", "Je stejný jako název 'Zapnuto' téhož výstupu O1 („ON“).")},
      {{Field::OUTZap, 2}, ZapMsg("O3", "Je předponou názvu výstupu O2 („Pump“).")},
  };
  EXPECT_EQ(all, expected);
}

TEST(CheckConfiguration, StartupConfigurationPasses) {
  const Workspace ws;
  EXPECT_TRUE(CheckConfiguration(ws.config, ws.settings).empty());
  EXPECT_TRUE(CheckConfiguration(ws.config, ws.settings, ',').empty());
}

TEST(CheckConfiguration, ReportsEveryOffenceOnceInTabOrder) {
  DeviceConfig config;
  for (auto& a : config.analogs) {
    a.AINCL1Level = "0";
    a.AINCL2Level = "100";
  }
  config.general.PIN = "12a";
  config.general.DobaPlatnostiSMS = "";
  config.rtBattLow() = "slaba \"baterie\"";
  config.inputs[0].INPZap = "Open";
  config.inputs[0].INPVyp = "OPEN";  // one conflict, reported once
  config.inputs[1].INPZap = "a";
  config.inputs[1].INPVyp = "A";  // the next row's conflict is reported too
  config.outputs[0].OUTZap = "ON";
  config.outputs[0].OUTVyp = "ONX";
  config.analogs[4].AINCL2Level = "-5";
  config.phones[3] = {"", true, false};
  config.general.PSOnH = "0";  // normalised silently
  config.general.PSOnM = "2";

  const auto found = CheckConfiguration(config, ProgramSettings{});
  std::vector<std::string> lines;
  for (const auto& o : found) lines.push_back(FieldDisplayName(o.field) + ": " + o.message);
  const std::vector<std::string> expected = {
      "PIN: PIN je špatně zadán.\nNepovolený znak: „a“.",
      "DobaPlatnostiSMS: Doba platnosti SMS zprávy je špatně zadána. Povolená hodnota je číslo 1 až 30 včetně.",
      "rtBattLow: Text může obsahovat pouze tyto znaky: " + std::string(TextChars) + "\nNepovolený znak: „\"“.",
      "INPZap[0]: Název 'Zapnuto' nesmí být stejný jako název 'Vypnuto'.",
      "INPZap[1]: Název 'Zapnuto' nesmí být stejný jako název 'Vypnuto'.",
      "OUTZap[0]: Název 'Zapnuto' nesmí být prefixem názvu 'Vypnuto' ani naopak.",
      "AINCL2Level[4]: Číslo je chybně zadáno.\nNepovolený znak: „-“.",
      "TC[3]: Pokud není zadáno telefonní číslo musí být zaškrtávací pole 'Příjem' nezaškrtnuté.",
      "OUTZap[0]: " + ZapMsg("O1", "Je předponou názvu 'Vypnuto' téhož výstupu O1 („ONX“)."),
  };
  EXPECT_EQ(lines, expected);
  // The configuration itself is not touched.
  EXPECT_TRUE(config.phones[3].TCPrijem);
  EXPECT_EQ(config.general.PSOnM, "2");
}


std::optional<std::string> TextOrFlag(DeviceConfig& c, FieldRef f) {
  ProgramSettings unused;
  if (const std::string* t = TextOf(c, unused, f)) return *t;
  if (const bool* b = FlagOf(c, unused, f)) return *b ? "true" : "false";
  return std::nullopt;
}

// A configuration no window has shown gets what leaving each field would do.
TEST(ReviewConfiguration, RewritesAsTheWindowAndReportsTypingLimits) {
  using Edit = void (*)(DeviceConfig&);
  struct Case {
    Edit edit;
    std::vector<std::string> changes;  // "field: 'was' → 'becomes'"
    std::size_t offences;
  };
  const std::vector<Case> cases = {
      {[](DeviceConfig& c) { c.general.DobaPlatnostiSMS = "45"; }, {"DobaPlatnostiSMS: '45' → '30'"}, 0},
      {[](DeviceConfig& c) { c.general.DobaPlatnostiSMS = "0"; }, {"DobaPlatnostiSMS: '0' → '1'"}, 0},
      {[](DeviceConfig& c) { c.general.PSOnH = "0", c.general.PSOnM = "0"; }, {"PSOnM: '0' → '5'"}, 0},
      {[](DeviceConfig& c) { c.general.PSOffH = "0", c.general.PSOffM = "2"; }, {"PSOffM: '2' → '5'"}, 0},
      {[](DeviceConfig& c) { c.general.PSOnH = "1", c.general.PSOnM = "125"; },
       {"PSOnH: '1' → '3'", "PSOnM: '125' → '5'"},
       0},
      {[](DeviceConfig& c) { c.outputs[1].OUTimpulsLEN = "30"; }, {"OUTimpulsLEN[1]: '30' → '25.5'"}, 0},
      {[](DeviceConfig& c) { c.analogs[0].AINCL1Level = "150"; }, {"AINCL1Level[0]: '150' → '100'"}, 0},
      {[](DeviceConfig& c) {
         c.phones[1] = {"+", true, true};
       },
       {"TCPrijem[1]: 'true' → 'false'", "TCUdalost[1]: 'true' → 'false'"},
       2},
      {[](DeviceConfig& c) { c.general.PIN = "123456789"; }, {}, 1},
      {[](DeviceConfig& c) { c.general.JmenoStanice = std::string(101, 'a'); }, {}, 1},
      {[](DeviceConfig& c) { c.phones[0].TC = std::string(51, '1'); }, {}, 1},
      {[](DeviceConfig&) {}, {}, 0},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    DeviceConfig config = Workspace().config;
    cases[i].edit(config);
    ProgramSettings settings;
    settings.UTOEnable = false;
    const Review review = ReviewConfiguration(config, settings);
    std::vector<std::string> changes;
    for (const Change& c : review.changes) {
      changes.push_back(FieldDisplayName(c.field) + ": '" + c.before + "' → '" + c.after + "'");
      EXPECT_EQ(*TextOrFlag(config, c.field), c.after) << i;  // applied in place
    }
    EXPECT_EQ(changes, cases[i].changes) << i;
    EXPECT_EQ(review.offences.size(), cases[i].offences) << i;
    // Applied once, nothing is left to rewrite.
    EXPECT_TRUE(ReviewConfiguration(config, settings).changes.empty()) << i;
  }
}

// The second line of the load and read messages: each broken field once, by
// its caption, hidden and disabled rows included, a long list cut short.
TEST(BrokenFieldsLine, NamesTheFieldsThatBreakTheRules) {
  const std::string head = "Tyto položky neodpovídají pravidlům programu: ";
  struct Case {
    const char* name;
    void (*damage)(DeviceConfig&);
    std::string line;
  } cases[] = {
      {"start-up configuration", [](DeviceConfig&) {}, ""},
      {"damaged PIN", [](DeviceConfig& c) { c.general.PIN = "\xC3\xBF\xC3\xBF"; }, head + "PIN."},
      {"disabled row, twice broken",
       [](DeviceConfig& c) {
         c.inputs[5].INPZap = "X";
         c.inputs[5].INPVyp = "X";
         c.general.PIN = "1a";
       },
       head + "PIN, I6 Název stavu zapnuto (1)."},
      {"many",
       [](DeviceConfig& c) {
         for (auto& p : c.phones) p.TC = "abc";
         c.general.PIN = "x";
         c.general.DobaPlatnostiSMS = "";
       },
       head +
           "PIN, Doba platnosti SMS zprávy, T1 Telefonní číslo, T2 Telefonní číslo, T3 Telefonní číslo, "
           "T4 Telefonní číslo, T5 Telefonní číslo, T6 Telefonní číslo a 2 dalších."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Workspace ws;
    c.damage(ws.config);
    EXPECT_EQ(BrokenFieldsLine(ws.config, ws.settings, '.'), c.line);
    const std::string message = WithBrokenFields("Načteno.", ws.config, ws.settings, '.');
    EXPECT_EQ(message, c.line.empty() ? "Načteno." : "Načteno.\n" + c.line);
  }
}

// A JSON configuration (vexa-cli check and build) with a character the unit
// cannot store is refused, naming the field and the character.
TEST(ReviewConfiguration, JsonWithCharactersTheUnitCannotStoreNamesFieldAndCharacter) {
  std::ifstream in(std::string(VEXA_FIXTURES_DIR) + "/pumping-station.json");
  std::stringstream fixture;
  fixture << in.rdbuf();
  const struct {
    nlohmann::json::json_pointer key;
    const char* value;
    FieldRef field;
    const char* named;
  } cases[] = {
      {"/general/JmenoStanice"_json_pointer, "500 m³", {Field::JmenoStanice}, "„³“"},
      {"/general/PIN"_json_pointer, "12٣4", {Field::PIN}, "„٣“"},
      {"/general/TCcentra"_json_pointer, "+420６03", {Field::TCcentra}, "„６“"},
      {"/general/rtSwitchOn"_json_pointer, "Zapnuto ✓", {Field::rtSwitchOn}, "„✓“"},
      {"/phones/2/TC"_json_pointer, "60312３", {Field::TC, 2}, "„３“"},
      {"/inputs/0/INPNazev"_json_pointer, "Dvere🚪", {Field::INPNazev, 0}, "„🚪“"},
      {"/inputs/1/INPZap"_json_pointer, "Ω", {Field::INPZap, 1}, "„Ω“"},
      {"/outputs/1/OUTimpuls"_json_pointer, "PULSΩ", {Field::OUTimpuls, 1}, "„Ω“"},
      {"/analogs/0/AINStateH"_json_pointer, "Vysoka ≥5", {Field::AINStateH, 0}, "„≥“"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    nlohmann::json json = nlohmann::json::parse(fixture.str());
    json[c.key] = c.value;
    DeviceConfig config;
    std::string error;
    ASSERT_TRUE(ConfigFromJsonText(json.dump(), config, error)) << error;
    const Review review = ReviewConfiguration(config, ProgramSettings{});
    ASSERT_EQ(review.offences.size(), 1u);
    EXPECT_EQ(review.offences[0].field, c.field);
    EXPECT_NE(review.offences[0].message.find(c.named), std::string::npos) << review.offences[0].message;
  }
}

}  // namespace
}  // namespace vexa::rules
