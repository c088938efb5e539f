#include "rules/rules.h"

#include <algorithm>
#include <charconv>

#include "codec/cp1250.h"
#include "codec/text.h"
#include "codec/values.h"
#include "platform/failure.h"
#include "texts/texts.h"

namespace vexa::rules {
namespace {

// ---------------------------------------------------------------------------
// Characters and case

char32_t NextChar(std::string_view s, std::size_t& pos) { return NextCharOrByte(s, pos); }

std::u32string Decode(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  std::size_t pos = 0;
  while (pos < s.size()) out.push_back(NextChar(s, pos));
  return out;
}

bool SameIgnoringCase(char32_t a, char32_t b) { return a == b || Cp1250LowerCase(a) == Cp1250LowerCase(b); }

bool BeginsIgnoringCase(const std::u32string& text, const std::u32string& prefix) {
  if (prefix.size() > text.size()) return false;
  for (std::size_t k = 0; k < prefix.size(); ++k) {
    if (!SameIgnoringCase(text[k], prefix[k])) return false;
  }
  return true;
}

bool StartsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }

// A phone number without a digit ("" or "+" alone) is stored empty: the
// rules treat it as no number.
bool HasNoDigit(std::string_view number) { return number.find_first_of("0123456789") == std::string_view::npos; }

// ---------------------------------------------------------------------------
// The rule table

enum class Kind {
  Chars,         // character set; message with the set appended when it ends in ": "
  PhoneChars,    // PhoneChars, "+" only as the first character
  Keywords,      // the unit's command keywords; message with the list appended
  SameAs,        // cross rule: equal to `other` ignoring case (only a non-empty text)
  PrefixOf,      // cross rule: isPrefixOfEachOther with `other`
  SmsValidity,   // DobaPlatnostiSMS: whole days 1..30
  PhoneNumber,   // NormalizePhoneNumber; an empty number runs CheckPhoneRow when `phoneRow`
  Level,         // analog level: 0..100, one decimal
  PulseLength,   // OUTimpulsLEN: 0.1..25.5 s
  PowerHours,    // power-save hours; `other` is the minutes field of the period
  PowerMinutes,  // power-save minutes; `other` is the hours field of the period
  BatteryFlag,   // rtBattLow: a battery text ticks the CL1-down SMS of BAT
};

struct Rule {
  Kind kind;
  const char* message = nullptr;
  std::string_view set = {};
  Field other = Field::JmenoStanice;
  bool phoneRow = true;
};

struct FieldRules {
  Field field;
  std::vector<Rule> rules;
};

Rule Chars(std::string_view set, const char* message) { return {Kind::Chars, message, set}; }
Rule Keywords(const char* message) { return {Kind::Keywords, message}; }
Rule SameAs(Field other, const char* message) { return {Kind::SameAs, message, {}, other}; }
Rule PrefixOf(Field other, const char* message) { return {Kind::PrefixOf, message, {}, other}; }
Rule PhoneChars_(const char* message) { return {Kind::PhoneChars, message, PhoneChars}; }
Rule Only(Kind kind, Field other = Field::JmenoStanice) { return {kind, nullptr, {}, other}; }


// The main window's rules, field by field, in the order they run.
const std::vector<FieldRules>& MainRules() {
  static const std::vector<FieldRules> table = {
      {Field::JmenoStanice, {Chars(Cp1250Characters(), texts::kRuleStationChars)}},
      {Field::PIN, {Chars(DigitChars, texts::kRulePin)}},
      {Field::TCcentra, {PhoneChars_(texts::kRuleServiceCentre)}},
      {Field::UTO, {PhoneChars_(texts::kRuleUto)}},
      {Field::DobaPlatnostiSMS, {Only(Kind::SmsValidity)}},
      {Field::TC, {PhoneChars_(texts::kRulePhone), Only(Kind::PhoneNumber)}},
      {Field::rtNotAuthorized, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::rtPowerUp, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::rtPowerDown, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::rtSwitchOn, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::rtSwitchOff, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::rtBattLow, {Chars(TextChars, texts::kRuleTextChars), Only(Kind::BatteryFlag)}},
      {Field::INPNazev, {Chars(NameChars, texts::kRuleInputNameChars), Keywords(texts::kRuleInputNameKeywords)}},
      {Field::INPZap, {Chars(NameChars, texts::kRuleZapChars), SameAs(Field::INPVyp, texts::kRuleSameZap)}},
      {Field::INPVyp, {Chars(NameChars, texts::kRuleVypChars), SameAs(Field::INPZap, texts::kRuleSameVyp)}},
      {Field::INPLH, {Chars(NameChars, texts::kRuleRiseChars)}},
      {Field::INPHL, {Chars(NameChars, texts::kRuleFallChars)}},
      {Field::OUTNazev, {Chars(CommandChars, texts::kRuleOutputNameChars), Keywords(texts::kRuleOutputNameKeywords)}},
      {Field::OUTZap,
       {Chars(CommandChars, texts::kRuleZapChars),
        PrefixOf(Field::OUTVyp, texts::kRuleZapPrefixVyp),
        PrefixOf(Field::OUTimpuls, texts::kRuleZapPrefixImpuls),
        Keywords(texts::kRuleZapKeywords)}},
      {Field::OUTVyp,
       {Chars(CommandChars, texts::kRuleVypChars),
        PrefixOf(Field::OUTZap, texts::kRuleVypPrefixZap),
        PrefixOf(Field::OUTimpuls, texts::kRuleVypPrefixImpuls),
        Keywords(texts::kRuleVypKeywords)}},
      {Field::OUTimpuls,
       {Chars(CommandChars, texts::kRuleImpulsChars),
        PrefixOf(Field::OUTVyp, texts::kRuleImpulsPrefixVyp),
        PrefixOf(Field::OUTZap, texts::kRuleImpulsPrefixZap),
        Keywords(texts::kRuleImpulsKeywords)}},
      {Field::OUTimpulsLEN, {Only(Kind::PulseLength)}},
      {Field::AINNazev, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::AINStateL, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::AINStateM, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::AINStateH, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::AINCL1Up, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::AINCL1Dn, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::AINCL2Up, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::AINCL2Dn, {Chars(TextChars, texts::kRuleTextChars)}},
      {Field::AINCL1Level, {Only(Kind::Level)}},
      {Field::AINHCL1Level, {Only(Kind::Level)}},
      {Field::AINCL2Level, {Only(Kind::Level)}},
      {Field::AINHCL2Level, {Only(Kind::Level)}},
      {Field::PSOnH, {Only(Kind::PowerHours, Field::PSOnM)}},
      {Field::PSOnM, {Only(Kind::PowerMinutes, Field::PSOnH)}},
      {Field::PSOffH, {Only(Kind::PowerHours, Field::PSOffM)}},
      {Field::PSOffM, {Only(Kind::PowerMinutes, Field::PSOffH)}},
  };
  return table;
}

// Where an editor's rules differ from the main window's; fields not listed
// here run the main window's rules.
const std::vector<FieldRules>& EditorRules(Variant variant) {
  static const std::vector<FieldRules> none;
  static const std::vector<FieldRules> phone = {
      {Field::TC, {PhoneChars_(texts::kRulePhone), {Kind::PhoneNumber, nullptr, {}, {}, false}}},
  };
  static const std::vector<FieldRules> input = {
      {Field::INPLH, {Chars(NameChars, texts::kRuleEditorRiseChars)}},
      {Field::INPHL, {Chars(NameChars, texts::kRuleEditorFallChars)}},
  };
  static const std::vector<FieldRules> output = {
      {Field::OUTZap,
       {Chars(CommandChars, texts::kRuleZapChars), SameAs(Field::OUTVyp, texts::kRuleSameZap),
        Keywords(texts::kRuleZapKeywords)}},
      {Field::OUTVyp,
       {Chars(CommandChars, texts::kRuleVypChars), SameAs(Field::OUTZap, texts::kRuleSameVyp),
        Keywords(texts::kRuleVypKeywords)}},
      {Field::OUTimpuls,
       {Chars(CommandChars, texts::kRuleImpulsChars),
        Keywords(texts::kRuleEditorImpulsKeywords)}},
  };
  // The analog editor keeps its levels on the unit's grid itself.
  static const std::vector<FieldRules> analog = {
      {Field::AINCL1Level, {}},
      {Field::AINHCL1Level, {}},
      {Field::AINCL2Level, {}},
      {Field::AINHCL2Level, {}},
  };
  switch (variant) {
    case Variant::PhoneEditor: return phone;
    case Variant::InputEditor: return input;
    case Variant::OutputEditor: return output;
    case Variant::AnalogEditor: return analog;
    default: return none;
  }
}

const FieldRules* Find(const std::vector<FieldRules>& table, Field f) {
  for (const auto& fr : table) {
    if (fr.field == f) return &fr;
  }
  return nullptr;
}

const FieldRules* RulesFor(Field f, Variant variant) {
  if (const FieldRules* own = Find(EditorRules(variant), f)) return own;
  return Find(MainRules(), f);
}

// True when one of the rules can refuse the text (and so bring the field's
// tab to the front); the others only rewrite it.
bool CanFail(const FieldRules& fr) {
  for (const Rule& rule : fr.rules) {
    switch (rule.kind) {
      case Kind::PhoneNumber:
      case Kind::PulseLength:
      case Kind::PowerHours:
      case Kind::PowerMinutes:
      case Kind::BatteryFlag: break;
      default: return true;
    }
  }
  return false;
}

// A number typed or pasted in groups ("+420 603 123 456") without its
// spaces, as the other rules rewrite a field.
std::string WithoutSpaces(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  return text;
}

// Rewrites a text when it differs and notes the field as changed.
void Rewrite(std::string& text, std::string value, FieldRef ref, FieldCheck& out) {
  if (text == value) return;
  text = std::move(value);
  if (std::find(out.changed.begin(), out.changed.end(), ref) == out.changed.end()) out.changed.push_back(ref);
}

std::string SmsValidityText(const std::string& digits) {
  std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return "1";
  const std::string_view significant = std::string_view(digits).substr(first);
  if (significant.size() > 2) return "30";
  int v = 0;
  std::from_chars(significant.data(), significant.data() + significant.size(), v);
  if (v > 30) return "30";
  return digits;
}

// The power-save period: when the hours are 0 the period is at least 5 minutes.
void KeepFiveMinutes(RuleContext& ctx, FieldRef hours, FieldRef minutes, FieldCheck& out) {
  std::string& h = *TextOf(ctx.config, ctx.settings, hours);
  std::string& m = *TextOf(ctx.config, ctx.settings, minutes);
  if (DecimalValue(h) == 0) Rewrite(m, NormalizeNumber(m, 5, 59, 0, ctx.decimalSeparator), minutes, out);
}

void PowerHoursRule(RuleContext& ctx, FieldRef hours, FieldRef minutes, FieldCheck& out) {
  std::string& h = *TextOf(ctx.config, ctx.settings, hours);
  Rewrite(h, NormalizeNumber(h, 0, 465, 0, ctx.decimalSeparator), hours, out);
  KeepFiveMinutes(ctx, hours, minutes, out);
}

void PowerMinutesRule(RuleContext& ctx, FieldRef minutes, FieldRef hours, FieldCheck& out) {
  std::string& h = *TextOf(ctx.config, ctx.settings, hours);
  std::string& m = *TextOf(ctx.config, ctx.settings, minutes);
  Rewrite(m, NormalizeNumber(m, 0, 27962, 0, ctx.decimalSeparator), minutes, out);
  const double total = DecimalValue(m);
  if (total >= 60) {
    const auto whole = static_cast<long long>(total);
    const double carried = static_cast<double>(whole / 60) + DecimalValue(h);
    Rewrite(h, NormalizeNumber(FormatNumber(carried, ctx.decimalSeparator), 0, 465, 0, ctx.decimalSeparator), hours,
            out);
    Rewrite(m, std::to_string(whole % 60), minutes, out);
  }
  KeepFiveMinutes(ctx, hours, minutes, out);
}

// A message ending in ": " shows the allowed set (or the keywords) after it.
std::string WithList(std::string_view message, std::string_view list) {
  std::string text(message);
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, ": ") == 0) text += list;
  return text;
}

std::string LevelText(std::string_view text, char separator) {
  const double v = ParseDecimalExact(text);
  if (v < 0) return "0";
  if (v > 100) return "100";
  return FormatNumber(v, separator);
}

}  // namespace

// ---------------------------------------------------------------------------

bool HasOnlyAllowedChars(std::string_view text, std::string_view allowed) {
  const std::u32string set = Decode(allowed);
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (set.find(NextChar(text, pos)) == std::u32string::npos) return false;
  }
  return true;
}

std::string RefusedCharsLine(std::string_view text, std::string_view allowed) {
  std::size_t count = 0;
  const std::string list = RefusedChars(text, allowed, &count);
  if (count == 0) return {};
  return (count == 1 ? texts::kRefusedCharLead : texts::kRefusedCharsLead) + list + ".";
}

std::optional<std::size_t> FirstCollision(std::string_view name, const std::vector<std::string>& entries) {
  if (name.empty()) return std::nullopt;
  const std::u32string n = Decode(name);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (BeginsIgnoringCase(Decode(entries[i]), n)) return i;
  }
  return std::nullopt;
}

bool IsKeywordFree(std::string_view name, const std::vector<std::string>& entries) {
  return !FirstCollision(name, entries);
}

bool IsKeywordFree(std::string_view name, std::string_view keywordList) {
  std::vector<std::string> entries;
  std::size_t start = 0;
  while (start <= keywordList.size()) {
    const std::size_t end = keywordList.find(';', start);
    if (end == std::string_view::npos) {
      entries.emplace_back(keywordList.substr(start));
      break;
    }
    entries.emplace_back(keywordList.substr(start, end - start));
    start = end + 1;
  }
  return IsKeywordFree(name, entries);
}

bool isPrefixOfEachOther(std::string_view a, std::string_view b) {
  const std::u32string x = Decode(a);
  const std::u32string y = Decode(b);
  const bool firstShorter = x.size() <= y.size();
  const std::u32string& shorter = firstShorter ? x : y;
  const std::u32string& longer = firstShorter ? y : x;
  return !shorter.empty() && BeginsIgnoringCase(longer, shorter);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  const std::u32string x = Decode(a);
  const std::u32string y = Decode(b);
  return x.size() == y.size() && BeginsIgnoringCase(x, y);
}

std::string NormalizePhoneNumber(std::string_view number, const ProgramSettings& settings) {
  if (!settings.UTOEnable) return std::string(number);
  const std::string_view uto = settings.UTO;
  if (!StartsWith(number, "+") && !StartsWith(number, "00") && !StartsWith(number, uto)) {
    if (StartsWith(number, "0")) number.remove_prefix(1);
    return std::string(uto) + std::string(number);
  }
  if (!StartsWith(number, "+") && StartsWith(number, "00")) return "+" + std::string(number.substr(2));
  return std::string(number);
}

std::optional<WindowTab> TabOf(FieldRef field) {
  const FieldRules* fr = Find(MainRules(), field.field);
  return fr && CanFail(*fr) ? WindowTabOf(field) : std::nullopt;
}

FieldCheck CheckPhoneRow(RuleContext& ctx, int row) {
  FieldCheck out;
  // A row outside the table is a fault of the program and stops it here.
  PhoneEntry& p = ctx.config.phones[RowIndex(row)];
  if (ctx.validationSuppressed) return out;
  const bool noNumber = HasNoDigit(p.TC);
  if (noNumber && p.TCPrijem) {
    out.messages.push_back(
        {texts::kRuleNoNumberPrijem, Icon::Warning});
    p.TCPrijem = false;
    out.changed.push_back({Field::TCPrijem, row});
  }
  if (noNumber && p.TCUdalost) {
    out.messages.push_back(
        {texts::kRuleNoNumberUdalost, Icon::Warning});
    p.TCUdalost = false;
    out.changed.push_back({Field::TCUdalost, row});
  }
  return out;
}

namespace {

// One field's rules being run: what they found so far.
struct RuleRun {
  RuleContext& ctx;
  FieldRef field;
  bool editor;  // run by a row editor, not by the main window
  std::string& text;
  FieldCheck& out;
  bool hasCross = false;  // a rule comparing the field with another one ran

  void Fail(std::string message) {
    out.failed = true;
    out.tab = editor ? std::nullopt : TabOf(field);
    out.messages.push_back({std::move(message), Icon::Error});
  }
  const std::string& Other(Field f) const { return *TextOf(ctx.config, ctx.settings, {f, field.row}); }
};

// The rules on what a text may hold and how it stands to the others; false
// for a rule of another kind.
bool RunTextRule(RuleRun& run, const Rule& rule) {
  const std::string& text = run.text;
  switch (rule.kind) {
    case Kind::Chars:
      if (!HasOnlyAllowedChars(text, rule.set)) {
        run.Fail(WithReason(WithList(rule.message, rule.set), RefusedCharsLine(text, rule.set)));
      }
      return true;
    case Kind::PhoneChars:
      // A "+" anywhere but in front would be stored as a digit of the number;
      // spaces typed or pasted between the digits go.
      if (std::string joined = WithoutSpaces(text);
          !HasOnlyAllowedChars(joined, rule.set) || joined.find('+', 1) != std::string::npos) {
        run.Fail(WithReason(rule.message, RefusedCharsLine(joined, rule.set)));
      } else {
        Rewrite(run.text, std::move(joined), run.field, run.out);
      }
      return true;
    case Kind::Keywords:
      if (!IsKeywordFree(text, KeywordList)) run.Fail(WithList(rule.message, KeywordList));
      return true;
    case Kind::SameAs:
      run.hasCross = true;
      if (!run.ctx.validationSuppressed && !text.empty() && EqualsIgnoringCase(text, run.Other(rule.other))) {
        run.Fail(rule.message);
        run.ctx.validationSuppressed = true;
      }
      return true;
    case Kind::PrefixOf:
      run.hasCross = true;
      if (!run.ctx.validationSuppressed && isPrefixOfEachOther(text, run.Other(rule.other))) {
        run.Fail(rule.message);
        run.ctx.validationSuppressed = true;
      }
      return true;
    default: return false;
  }
}

// The rules that read a value and write it back in its normal form, and
// those that change another field.
void RunValueRule(RuleRun& run, const Rule& rule) {
  RuleContext& ctx = run.ctx;
  std::string& text = run.text;
  switch (rule.kind) {
    case Kind::SmsValidity:
      if (text.empty() || !HasOnlyAllowedChars(text, DigitChars)) {
        run.Fail(WithReason(texts::kRuleSmsValidity, RefusedCharsLine(text, DigitChars)));
      } else {
        Rewrite(text, SmsValidityText(text), run.field, run.out);
      }
      break;
    case Kind::PhoneNumber:
      if (!HasNoDigit(text)) {
        Rewrite(text, NormalizePhoneNumber(text, ctx.settings), run.field, run.out);
      } else if (rule.phoneRow) {
        FieldCheck row = CheckPhoneRow(ctx, run.field.row);
        run.out.messages.insert(run.out.messages.end(), row.messages.begin(), row.messages.end());
        run.out.changed.insert(run.out.changed.end(), row.changed.begin(), row.changed.end());
      }
      break;
    case Kind::Level:
      if (text.empty() || !HasOnlyAllowedChars(text, NumberChars)) {
        run.Fail(WithReason(texts::kRuleLevel, RefusedCharsLine(text, NumberChars)));
      } else {
        Rewrite(text, LevelText(text, ctx.decimalSeparator), run.field, run.out);
      }
      break;
    case Kind::PulseLength:
      Rewrite(text, NormalizeNumber(text, 0.1, 25.5, 1, ctx.decimalSeparator), run.field, run.out);
      break;
    case Kind::PowerHours: PowerHoursRule(ctx, run.field, {rule.other, 0}, run.out); break;
    case Kind::PowerMinutes: PowerMinutesRule(ctx, run.field, {rule.other, 0}, run.out); break;
    case Kind::BatteryFlag: {
      AnalogInput& bat = ctx.config.analogs[kBatteryRow];
      if (!text.empty() && !bat.AINCL1DnEvent) {
        bat.AINCL1DnEvent = true;
        run.out.changed.push_back({Field::AINCL1DnEvent, kBatteryRow});
      }
      break;
    }
    default: break;
  }
}

}  // namespace

FieldCheck CheckField(RuleContext& ctx, FieldRef field, Variant variant) {
  FieldCheck out;
  RowIndex(field.row);  // a row outside the table stops the program here
  const FieldRules* fr = RulesFor(field.field, variant);
  std::string* textPtr = TextOf(ctx.config, ctx.settings, field);
  if (fr == nullptr || textPtr == nullptr) return out;
  const bool editor = variant != Variant::MainWindow;
  // While an editor is being cancelled its rules are silent; only the pulse
  // length is still kept within what the unit can time.
  const bool silent = editor && ctx.cancelRequested;

  RuleRun run{ctx, field, editor, *textPtr, out};
  for (const Rule& rule : fr->rules) {
    // The battery flag follows the character rule whether it passed or not.
    if (out.failed && rule.kind != Kind::BatteryFlag) continue;
    if (silent && rule.kind != Kind::PulseLength) continue;
    if (!RunTextRule(run, rule)) RunValueRule(run, rule);
  }
  // A field with cross rules that all passed (or were skipped) lets the next
  // conflict be reported again.
  if (run.hasCross && !out.failed && !silent) ctx.validationSuppressed = false;
  return out;
}

}  // namespace vexa::rules
