// The field rules as a field loses the focus: one outcome per field and text,
// the validation-suppressed flag, and the row editors' variants.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "codec/cp1250.h"
#include "texts/texts.h"
#include "rules/rules.h"

namespace vexa::rules {
namespace {

struct Env {
  DeviceConfig config;
  ProgramSettings settings;
  bool suppressed = false;
  RuleContext ctx{config, settings, suppressed};

  std::string& Text(FieldRef f) { return *TextOf(config, settings, f); }
  FieldCheck Leave(FieldRef f, const std::string& text, Variant v = Variant::MainWindow) {
    Text(f) = text;
    return CheckField(ctx, f, v);
  }
};

std::string Msg(const char* text, std::string_view set = {}) { return std::string(text) + std::string(set); }

const char* kKeywordOutput = "Název výstupu nesmí být žádné z těchto klíčových slov (ani jejich předpony): ";
const char* kLevelMsg = "Číslo je chybně zadáno.";
const char* kTextMsg = "Text může obsahovat pouze tyto znaky: ";

// One field left with one text, in a row whose other fields are preset.
struct Case {
  FieldRef field;
  std::string typed;
  std::vector<std::pair<FieldRef, std::string>> preset;
  std::string expectText;     // the field's text afterwards
  std::string expectMessage;  // empty: no message
  int expectTab = -1;
  char separator = '.';
};

void RunCases(const std::vector<Case>& cases, Variant variant) {
  for (const auto& c : cases) {
    Env env;
    env.ctx.decimalSeparator = c.separator;
    for (const auto& [ref, text] : c.preset) env.Text(ref) = text;
    const FieldCheck r = env.Leave(c.field, c.typed, variant);
    const std::string label = FieldDisplayName(c.field) + " '" + c.typed + "'";
    EXPECT_EQ(env.Text(c.field), c.expectText) << label;
    EXPECT_EQ(r.failed, !c.expectMessage.empty()) << label;
    if (c.expectMessage.empty()) {
      EXPECT_TRUE(r.messages.empty()) << label;
    } else {
      ASSERT_EQ(r.messages.size(), 1u) << label;
      // The specified message; a character rule's reason beneath it has a table of its own.
      EXPECT_EQ(r.messages[0].text.substr(0, r.messages[0].text.find('\n')), c.expectMessage) << label;
      EXPECT_EQ(r.messages[0].icon, Icon::Error) << label;
      EXPECT_EQ(r.tab ? IndexOf(*r.tab) : -1, c.expectTab) << label;
    }
    const bool rewritten = c.expectText != c.typed;
    EXPECT_EQ(r.changed.size(), rewritten ? 1u : 0u) << label;
    if (rewritten && !r.changed.empty()) {
      EXPECT_EQ(r.changed[0], c.field) << label;
    }
  }
}

TEST(MainWindowRules, EachFieldGivesOneOutcome) {
  const FieldRef pin{Field::PIN}, centre{Field::TCcentra}, uto{Field::UTO}, sms{Field::DobaPlatnostiSMS};
  const FieldRef tc{Field::TC, 2}, inp{Field::INPNazev, 1}, lh{Field::INPLH, 0};
  const FieldRef out{Field::OUTNazev, 0}, zap{Field::OUTZap, 1}, vyp{Field::OUTVyp, 1}, imp{Field::OUTimpuls, 1};
  const FieldRef len{Field::OUTimpulsLEN, 0}, cl2{Field::AINCL2Level, 0}, h1{Field::AINHCL1Level, 5};
  const char* smsMsg = "Doba platnosti SMS zprávy je špatně zadána. Povolená hodnota je číslo 1 až 30 včetně.";
  const std::vector<Case> cases = {
      {{Field::JmenoStanice}, "Čerpací \"stanice\" ~", {}, "Čerpací \"stanice\" ~", ""},
      {pin, "1234", {}, "1234", ""},
      {pin, "12a4", {}, "12a4", "PIN je špatně zadán.", 0},
      {centre, "+420603052000", {}, "+420603052000", ""},
      // Spaces between the groups of a number go.
      {centre, "+420 603", {}, "+420603", ""},
      {centre, "+420 6O3", {}, "+420 6O3", "Telefonní číslo servisního centra je špatně zadáno.", 0},
      {centre, "420+603", {}, "420+603", "Telefonní číslo servisního centra je špatně zadáno.", 0},
      {uto, "+49", {}, "+49", ""},
      {uto, "x", {}, "x", "UTO je špatně zadáno.", 6},
      {sms, "30", {}, "30", ""},
      {sms, "0", {}, "1", ""},
      {sms, "31", {}, "30", ""},
      {sms, "99999", {}, "30", ""},
      {sms, "", {}, "", smsMsg, 1},
      {sms, "3a", {}, "3a", smsMsg, 1},
      {tc, "0603123456", {}, "+420603123456", ""},
      {tc, "+420 603 123 456", {}, "+420603123456", ""},
      {tc, "0603 123 456", {}, "+420603123456", ""},
      {tc, "603+123", {}, "603+123", "Telefonní číslo je špatně zadáno.", 6},
      {{Field::rtPowerUp}, "Sit obnovena!", {}, "Sit obnovena!", ""},
      {{Field::rtSwitchOff}, "say \"off\"", {}, "say \"off\"", Msg(kTextMsg, TextChars), 1},
      {inp, "Dvere 1", {}, "Dvere 1", ""},
      {inp, "Dvere~", {}, "Dvere~", Msg("Název vstupu může obsahovat pouze tyto znaky: ", NameChars), 2},
      {inp,
       "st",
       {},
       "st",
       Msg("Název vstupu nesmí být žádné z těchto klíčových slov (ani jejich předpony): ", KeywordList),
       2},
      {lh, "0->1 Dvere", {}, "0->1 Dvere", ""},
      {lh, "~", {}, "~", Msg("Název přechodu 'Neaktivní->Aktivní' může obsahovat pouze tyto znaky: ", NameChars), 2},
      {out, "status", {}, "status", ""},
      {out, "start", {}, "start", ""},  // begins neither STATE nor STAV
      {out, "Shut", {}, "Shut", Msg(kKeywordOutput, KeywordList), 3},
      {out, "Cerpadlo 1", {}, "Cerpadlo 1", Msg("Název výstupu může obsahovat pouze tyto znaky: ", CommandChars), 3},
      // The output commands of one row must not begin one another.
      {zap, "ON", {{vyp, "ONX"}}, "ON", "Název 'Zapnuto' nesmí být prefixem názvu 'Vypnuto' ani naopak.", 3},
      {vyp, "ONX", {{zap, "ON"}}, "ONX", "Název 'Vypnuto' nesmí být prefixem názvu 'Zapnuto' ani naopak.", 3},
      {zap, "ON", {{vyp, "OFF"}}, "ON", ""},
      {zap,
       "ON",
       {{vyp, "OFF"}, {imp, "on"}},
       "ON",
       "Název 'Zapnuto' nesmí být prefixem názvu 'Impuls' ani naopak.",
       3},
      {vyp,
       "OFFX",
       {{zap, "ON"}, {imp, "off"}},
       "OFFX",
       "Název 'Vypnuto' nesmí být prefixem názvu 'Impuls' ani naopak.",
       3},
      {imp, "PULS", {{vyp, "pul"}}, "PULS", "Název 'Impuls' nesmí být prefixem názvu 'Vypnuto' ani naopak.", 3},
      {imp, "PULS", {{zap, "PULSE"}}, "PULS", "Název 'Impuls' nesmí být prefixem názvu 'Zapnuto' ani naopak.", 3},
      {zap,
       "stav",
       {{vyp, "OFF"}},
       "stav",
       Msg("Název 'Zapnuto' nesmí být žádné z těchto klíčových slov (ani jejich předpony): ", KeywordList),
       3},
      {imp,
       "b",
       {},
       "b",
       Msg("Název 'Impuls' nesmí být žádné z těchto klíčových slov (ani jejich předpony): ", KeywordList),
       3},
      // Pulse length: silent, 0.1..25.5 s with one decimal.
      {len, "2", {}, "2", ""},
      {len, "0,05", {}, "0.1", ""},
      {len, "30", {}, "25.5", ""},
      {len, "2,57", {}, "2.5", ""},
      {len, "2,57", {}, "2,5", "", -1, ','},
      // Analog levels: 0..100 with one decimal in the user's notation.
      {cl2, "2,75", {}, "2,7", "", -1, ','},
      {cl2, "2,75", {}, "2.7", ""},
      {cl2, "150", {}, "100", ""},
      {cl2, "100", {}, "100", ""},
      {cl2, "0,7", {}, "0,7", "", -1, ','},
      {cl2, "49.8", {}, "49,8", "", -1, ','},
      {cl2, "49,8", {}, "49.8", ""},
      {cl2, "007", {}, "7", ""},
      {cl2, ",", {}, "0", ""},
      {cl2, "-5", {}, "-5", kLevelMsg, 4},
      {cl2, "", {}, "", kLevelMsg, 4},
      {h1, "5a", {}, "5a", kLevelMsg, 5},
      {{Field::AINCL1Level, 7}, "150", {}, "100", ""},  // whatever the row's scale
      {{Field::AINNazev, 3}, "\"", {}, "\"", Msg(kTextMsg, TextChars), 4},
      {{Field::AINCL2Dn, 4}, "horko\"", {}, "horko\"", Msg(kTextMsg, TextChars), 5},
  };
  RunCases(cases, Variant::MainWindow);
}

TEST(MainWindowRules, EmptyTextPassesEveryCharacterAndKeywordRule) {
  for (const Field f : {Field::PIN, Field::TCcentra, Field::UTO, Field::rtPowerUp, Field::INPNazev, Field::INPZap,
                        Field::INPVyp, Field::INPLH, Field::INPHL, Field::OUTNazev, Field::OUTZap, Field::OUTVyp,
                        Field::OUTimpuls, Field::AINNazev, Field::AINCL1Dn}) {
    Env env;
    const FieldCheck r = env.Leave({f, 0}, "");
    EXPECT_FALSE(r.failed) << InfoOf(f).name;
    EXPECT_TRUE(r.messages.empty()) << InfoOf(f).name;
  }
}

TEST(ValidationSuppressed, ConflictOfTwoInputStatesIsReportedOnce) {
  Env env;
  const FieldRef zap{Field::INPZap, 0}, vyp{Field::INPVyp, 0};
  env.Text(zap) = "Open";
  // Leaving INPVyp reports the conflict and sets the flag...
  FieldCheck r = env.Leave(vyp, "OPEN");
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0].text, "Název 'Vypnuto' nesmí být stejný jako název 'Zapnuto'.");
  EXPECT_EQ(r.tab, WindowTab::DigVstupy);
  EXPECT_TRUE(env.suppressed);
  // ...so leaving INPZap right afterwards stays silent and clears it.
  r = CheckField(env.ctx, zap);
  EXPECT_TRUE(r.messages.empty());
  EXPECT_FALSE(r.failed);
  EXPECT_FALSE(env.suppressed);
  // The next time the conflict is reported again.
  r = CheckField(env.ctx, zap);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0].text, "Název 'Zapnuto' nesmí být stejný jako název 'Vypnuto'.");
  EXPECT_TRUE(env.suppressed);
}

// The flag skips the cross rules only; the character and keyword rules report
// whatever it says.
TEST(ValidationSuppressed, SkipsCrossRulesOnly) {
  struct FlagCase {
    FieldRef field;
    const char* text;
    bool before;
    bool failed;
    bool after;
    const char* outVyp = "";  // O1's 'Vypnuto' beforehand
    Variant variant = Variant::MainWindow;
    bool cancelled = false;  // the editor is being cancelled
  };
  const std::vector<FlagCase> cases = {
      {{Field::INPZap, 0}, "a~", true, true, true},  // character rule reports, flag kept
      {{Field::INPZap, 0}, "a~", false, true, false},
      {{Field::OUTZap, 0}, "st", true, true, true},        // keyword rule reports, flag kept
      {{Field::INPNazev, 0}, "Dvere", true, false, true},  // no cross rule: flag untouched
      {{Field::PIN, 0}, "12", true, false, true},
      {{Field::INPZap, 0}, "", true, false, false},  // empty state name: all rules pass
      {{Field::INPZap, 0}, "", false, false, false},
      {{Field::OUTZap, 0}, "ZAP", true, false, false},  // cross rules skipped, all passed
      {{Field::OUTZap, 0}, "ON", true, false, false, "ONX"},  // a cross rule that would fail is skipped
      // Cancelling an editor keeps the suppression of a conflict already reported.
      {{Field::OUTZap, 0}, "ON", true, false, true, "on", Variant::OutputEditor, true},
  };
  for (const auto& c : cases) {
    Env env;
    env.suppressed = c.before;
    env.Text({Field::OUTVyp, 0}) = c.outVyp;
    env.ctx.cancelRequested = c.cancelled;
    const FieldCheck r = env.Leave(c.field, c.text, c.variant);
    EXPECT_EQ(r.failed, c.failed) << FieldDisplayName(c.field) << " " << c.text;
    EXPECT_EQ(env.suppressed, c.after) << FieldDisplayName(c.field) << " " << c.text;
  }
}

struct PeriodCase {
  Field left;
  const char* hours;
  const char* minutes;
  const char* expectHours;
  const char* expectMinutes;
};

TEST(PowerSavePeriod, KeepsFiveMinutesToFourHundredSixtyFiveHours) {
  const std::vector<PeriodCase> cases = {
      {Field::PSOffM, "1", "125", "3", "5"},     {Field::PSOffH, "0", "2", "0", "5"},
      {Field::PSOffM, "0", "2", "0", "5"},       {Field::PSOffM, "0", "60", "1", "0"},
      {Field::PSOffM, "0", "59", "0", "59"},     {Field::PSOffH, "500", "0", "465", "0"},
      {Field::PSOffH, "-3", "0", "0", "5"},      {Field::PSOffH, "abc", "70", "0", "59"},
      {Field::PSOffM, "1", "30000", "465", "2"},  // 27962 minutes at most; carry lost in the clamp
      {Field::PSOffM, "1", "7,9", "1", "7"},     {Field::PSOffM, "2", "abc", "2", "0"},
      {Field::PSOffH, "1", "75", "1", "75"},  // leaving the hours does not touch minutes then
  };
  for (const auto& c : cases) {
    for (const bool on : {true, false}) {
      Env env;
      const Field hours = on ? Field::PSOnH : Field::PSOffH;
      const Field minutes = on ? Field::PSOnM : Field::PSOffM;
      const bool leftHours = c.left == Field::PSOffH;
      env.Text({hours}) = c.hours;
      env.Text({minutes}) = c.minutes;
      const FieldCheck r = CheckField(env.ctx, {leftHours ? hours : minutes});
      const std::string label = std::string(InfoOf(c.left).name) + " " + c.hours + " h " + c.minutes + " min";
      EXPECT_EQ(env.Text({hours}), c.expectHours) << label;
      EXPECT_EQ(env.Text({minutes}), c.expectMinutes) << label;
      EXPECT_FALSE(r.failed) << label;
      EXPECT_TRUE(r.messages.empty()) << label;
      std::vector<FieldRef> rewritten;
      if (std::string(c.hours) != c.expectHours) rewritten.push_back({hours});
      if (std::string(c.minutes) != c.expectMinutes) rewritten.push_back({minutes});
      std::vector<FieldRef> changed = r.changed;
      std::sort(changed.begin(), changed.end(), [](FieldRef a, FieldRef b) { return a.field < b.field; });
      EXPECT_EQ(changed, rewritten) << label;
    }
  }
}

TEST(PhoneRow, ClearingTheNumberWarnsForEachTickedBoxInTurn) {
  Env env;
  env.config.phones[2] = {"+420603123456", true, true};
  const FieldCheck r = env.Leave({Field::TC, 2}, "");
  EXPECT_FALSE(r.failed);
  ASSERT_EQ(r.messages.size(), 2u);
  EXPECT_EQ(r.messages[0].text, "Pokud není zadáno telefonní číslo musí být zaškrtávací pole 'Příjem' nezaškrtnuté.");
  EXPECT_EQ(r.messages[1].text, "Pokud není zadáno telefonní číslo musí být zaškrtávací pole 'Události' nezaškrtnuté.");
  EXPECT_EQ(r.messages[0].icon, Icon::Warning);
  EXPECT_EQ(r.messages[1].icon, Icon::Warning);
  EXPECT_FALSE(env.config.phones[2].TCPrijem);
  EXPECT_FALSE(env.config.phones[2].TCUdalost);
  EXPECT_EQ(r.changed, (std::vector<FieldRef>{{Field::TCPrijem, 2}, {Field::TCUdalost, 2}}));
}

TEST(PhoneRow, ConsistencyRuleCases) {
  struct RowCase {
    PhoneEntry entry;
    bool suppressed;
    std::size_t warnings;
    PhoneEntry after;
  };
  const std::vector<RowCase> cases = {
      {{"", true, false}, false, 1, {"", false, false}},  {{"", false, true}, false, 1, {"", false, false}},
      {{"", false, false}, false, 0, {"", false, false}}, {{"+420603", true, true}, false, 0, {"+420603", true, true}},
      {{"", true, true}, true, 0, {"", true, true}},       // silenced while suppressed
      {{"+", true, true}, false, 2, {"+", false, false}},  // no digit, no number
  };
  for (const auto& c : cases) {
    Env env;
    env.config.phones[5] = c.entry;
    env.suppressed = c.suppressed;
    const FieldCheck r = CheckPhoneRow(env.ctx, 5);
    EXPECT_EQ(r.messages.size(), c.warnings);
    EXPECT_EQ(r.changed.empty(), c.warnings == 0);
    EXPECT_EQ(env.config.phones[5], c.after);
    EXPECT_EQ(env.suppressed, c.suppressed);
  }
  // A row outside the table is a fault of the caller: the program stops.
  for (const int row : {-1, kRows}) {
    Env env;
    EXPECT_DEATH(CheckPhoneRow(env.ctx, row), "row " + std::to_string(row) + " of a table");
    EXPECT_DEATH(CheckField(env.ctx, {row < 0 ? Field::TC : Field::INPNazev, row}),
                 "row " + std::to_string(row) + " of a table");
  }
}

TEST(PhoneRow, NumberKeptAsTypedWithThePrefixSwitchOff) {
  Env env;
  env.settings.UTOEnable = false;
  EXPECT_TRUE(env.Leave({Field::TC, 0}, "0603123456").changed.empty());
  EXPECT_EQ(env.config.phones[0].TC, "0603123456");
  env.settings.UTOEnable = true;
  CheckField(env.ctx, {Field::TC, 0});
  EXPECT_EQ(env.config.phones[0].TC, "+420603123456");
}

TEST(BatteryText, TicksTheCl1DownSmsOfBat) {
  struct BattCase {
    const char* text;
    bool failed;
    bool ticked;
  };
  for (const BattCase& c : std::vector<BattCase>{{"Baterie slaba", false, true},
                                                 {"Baterie \"slaba\"", true, true},  // even when refused
                                                 {"", false, false}}) {
    Env env;
    const FieldCheck r = env.Leave({Field::rtBattLow}, c.text);
    EXPECT_EQ(r.failed, c.failed) << c.text;
    EXPECT_EQ(env.config.analogs[kBatteryRow].AINCL1DnEvent, c.ticked) << c.text;
    EXPECT_EQ(env.config.analogs[kBatteryRow].AINCL1Dn, c.text);
    const bool listed =
        std::find(r.changed.begin(), r.changed.end(), FieldRef{Field::AINCL1DnEvent, kBatteryRow}) != r.changed.end();
    EXPECT_EQ(listed, c.ticked) << c.text;
    if (c.failed) {
      EXPECT_EQ(r.tab, WindowTab::SmsZpravy);
    }
  }
}

TEST(EditorRules, VariantsOfTheRowEditors) {
  const FieldRef zap{Field::OUTZap, 0}, vyp{Field::OUTVyp, 0}, imp{Field::OUTimpuls, 0};
  const char* same = "Název 'Zapnuto' nesmí být stejný jako název 'Vypnuto'.";
  RunCases(
      {
          {zap, "ON", {{vyp, "on"}}, "ON", same},
          {vyp, "on", {{zap, "ON"}}, "on", "Název 'Vypnuto' nesmí být stejný jako název 'Zapnuto'."},
          {zap, "ON", {{vyp, "ONX"}}, "ON", ""},  // no prefix rule in the editor
          {zap, "ON", {{imp, "ON"}}, "ON", ""},   // nor the pulse command
          {imp, "ON", {{zap, "ONX"}, {vyp, "ON"}}, "ON", ""},
          {zap,
           "nob",
           {},
           "nob",
           Msg("Název 'Zapnuto' nesmí být žádné z těchto klíčových slov (ani jejich předpony): ", KeywordList)},
          {imp,
           "Sta",
           {},
           "Sta",
           Msg("Název 'impuls' nesmí být žádné z těchto klíčových slov (ani jejich předpony): ", KeywordList)},
          {imp, "P 1", {}, "P 1", Msg("Název 'Impuls' může obsahovat pouze tyto znaky: ", CommandChars)},
          {{Field::OUTNazev, 0}, "reset", {}, "reset", Msg(kKeywordOutput, KeywordList)},
          {{Field::OUTimpulsLEN, 0}, "0", {}, "0.1", ""},
      },
      Variant::OutputEditor);
  RunCases(
      {
          {{Field::INPLH, 0}, "~", {}, "~", Msg("Název přechodu '0->1' může obsahovat pouze tyto znaky: ", NameChars)},
          {{Field::INPHL, 0}, "~", {}, "~", Msg("Název přechodu '1->0' může obsahovat pouze tyto znaky: ", NameChars)},
          {{Field::INPZap, 0}, "X", {{{Field::INPVyp, 0}, "x"}}, "X", same},
          {{Field::INPNazev, 0},
           "J",
           {},
           "J",
           Msg("Název vstupu nesmí být žádné z těchto klíčových slov (ani jejich předpony): ", KeywordList)},
      },
      Variant::InputEditor);
  RunCases(
      {
          {{Field::TC, 0}, "0603123456", {}, "+420603123456", ""},
          {{Field::TC, 0}, "06 03", {}, "+420603", ""},
          {{Field::TC, 0}, "06 O3", {}, "06 O3", "Telefonní číslo je špatně zadáno."},
      },
      Variant::PhoneEditor);
  RunCases(
      {
          {{Field::AINCL1Up, 7}, "nad \"x\"", {}, "nad \"x\"", Msg(kTextMsg, TextChars)},
          {{Field::AINStateL, 0}, "nizka", {}, "nizka", ""},
          {{Field::AINCL1Level, 0}, "abc", {}, "abc", ""},  // the editor keeps levels on the grid itself
          {{Field::AINHCL2Level, 0}, "150", {}, "150", ""},
      },
      Variant::AnalogEditor);
}

TEST(EditorRules, PhoneEditorLeavesTheRowRuleToItsOpener) {
  Env env;
  env.config.phones[0] = {"", true, true};
  const FieldCheck r = env.Leave({Field::TC, 0}, "", Variant::PhoneEditor);
  EXPECT_TRUE(r.messages.empty());
  EXPECT_TRUE(env.config.phones[0].TCPrijem);
}

TEST(EditorRules, SilentWhileCancelRequestedExceptThePulseLength) {
  Env env;
  env.ctx.cancelRequested = true;
  env.Text({Field::OUTVyp, 0}) = "on";
  EXPECT_TRUE(env.Leave({Field::OUTZap, 0}, "ON", Variant::OutputEditor).messages.empty());
  EXPECT_FALSE(env.suppressed);
  EXPECT_TRUE(env.Leave({Field::INPNazev, 0}, "st", Variant::InputEditor).messages.empty());
  EXPECT_EQ(env.Leave({Field::TC, 0}, "0603", Variant::PhoneEditor).changed.size(), 0u);
  EXPECT_EQ(env.config.phones[0].TC, "0603");
  env.Leave({Field::OUTimpulsLEN, 0}, "30", Variant::OutputEditor);
  EXPECT_EQ(env.config.outputs[0].OUTimpulsLEN, "25.5");
  // The main window's rules do not look at the flag.
  EXPECT_TRUE(env.Leave({Field::INPNazev, 0}, "st").failed);
}

// Characters the unit cannot store, in every text field of the unit: a rule
// refuses them and names them, or a normalising rule leaves a number the unit
// stores; nothing is left for the encoder to replace.
TEST(CheckField, CharactersTheUnitCannotStoreAreRefusedAndNamed) {
  const std::vector<std::string> samples = {"³", "Ж", "ñ", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD", "\xFF", "³Ω"};
  for (const FieldInfo& info : kFields) {
    if (info.kind != FieldKind::Text || info.family == Family::Program) continue;
    for (const std::string& sample : samples) {
      const FieldRef ref{info.field, 1};
      const std::string typed = "1" + sample + "2";  // the digits pass every set
      const std::string label = FieldDisplayName(ref) + " '" + typed + "'";
      for (const Variant v : {Variant::MainWindow, Variant::PhoneEditor, Variant::InputEditor,
                              Variant::OutputEditor}) {
        Env env;
        const FieldCheck r = env.Leave(ref, typed, v);
        if (r.failed) {
          ASSERT_EQ(r.messages.size(), 1u) << label;
          EXPECT_NE(r.messages[0].text.find(": " + RefusedChars(sample, Cp1250Characters()) + "."), std::string::npos)
              << label << ": " << r.messages[0].text;
        } else {
          EXPECT_TRUE(Utf8ToCp1250(env.Text(ref)).has_value()) << label;
          EXPECT_NE(env.Text(ref), typed) << label;
        }
      }
    }
  }
  // The station name takes any character the unit stores, and only those.
  Env env;
  EXPECT_FALSE(env.Leave({Field::JmenoStanice}, "Čerpací stanice – vrt 2, 25 °C, „A“ € ~\"", Variant::MainWindow).failed);
  const FieldCheck r = env.Leave({Field::JmenoStanice}, "Станция 😀 vrt");
  ASSERT_TRUE(r.failed);
  EXPECT_EQ(r.tab, WindowTab::Vseobecne);
  EXPECT_EQ(r.messages[0].text, std::string(texts::kRuleStationChars) +
                                    "\nNepovolené znaky: „С“, „т“, „а“, „н“, „ц“, „и“, „я“, „😀“.");
}

TEST(CheckField, FieldsWithoutRulesDoNothing) {
  Env env;
  env.Text({Field::PIN}) = "abc";
  EXPECT_FALSE(CheckField(env.ctx, {Field::TCPrijem, 0}).failed);
  EXPECT_FALSE(CheckField(env.ctx, {Field::Port}).failed);
}


// Damaged files and JSON can put any bytes into any field; the rules must
// stay within bounds and a failing rule must leave the text as it was.
TEST(CheckField, AnyBytesInAnyFieldAreHandled) {
  std::uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  for (int round = 0; round < 300; ++round) {
    Env env;
    env.suppressed = (round % 3) == 0;
    env.ctx.cancelRequested = (round % 5) == 0;
    env.ctx.decimalSeparator = (round % 2) ? ',' : '.';
    for (int f = 0; f < kFieldCount; ++f) {
      const FieldRef ref{static_cast<Field>(f), static_cast<int>(next() % kRows)};
      std::string* text = TextOf(env.config, env.settings, ref);
      if (text == nullptr) continue;
      std::string bytes(next() % 12, '\0');
      for (char& c : bytes) c = static_cast<char>(next() >> 24);
      *text = bytes;
      for (const Variant v : {Variant::MainWindow, Variant::PhoneEditor, Variant::InputEditor, Variant::OutputEditor,
                              Variant::AnalogEditor}) {
        const FieldCheck r = CheckField(env.ctx, ref, v);
        if (r.failed) {
          EXPECT_EQ(*text, bytes) << FieldDisplayName(ref);
          EXPECT_EQ(r.messages.size(), 1u);
        } else if (v == Variant::MainWindow && InfoOf(ref.field).family != Family::Program) {
          // What passes, the unit stores as it is.
          EXPECT_TRUE(Utf8ToCp1250(*text).has_value()) << FieldDisplayName(ref);
        }
        bytes = *text;
      }
    }
  }
}

}  // namespace
}  // namespace vexa::rules
