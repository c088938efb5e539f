#include "rules/config_check.h"

#include <algorithm>
#include <array>

#include "codec/text.h"
#include "platform/failure.h"
#include "texts/texts.h"
#include "rules/rules.h"
#include "workspace/compare.h"

namespace vexa::rules {
namespace {

// What a text of an output is tested against before writing, and the message
// that names the output when it collides.
struct OutputText {
  Field field;
  const char* before;
  const char* after;
};

constexpr std::array<OutputText, 4> kOutputTexts{{
    {Field::OUTNazev, texts::kOutputName.before, texts::kOutputName.after},
    {Field::OUTZap, texts::kOutputZap.before, texts::kOutputZap.after},
    {Field::OUTVyp, texts::kOutputVyp.before, texts::kOutputVyp.after},
    {Field::OUTimpuls, texts::kOutputImpuls.before, texts::kOutputImpuls.after},
}};

// A text of another output's field (or of the same output's) that a text
// must be neither equal to nor a beginning of.
struct Entry {
  FieldRef ref;
  std::string text;
};

// The entries a text of output i must be neither equal to nor a beginning of.
std::vector<Entry> EntriesFor(const DeviceConfig& c, int i, Field f) {
  std::vector<Entry> list;
  auto add = [&](Field field, int row) {
    list.push_back({{field, row}, *TextOf(c, {field, row})});
  };
  auto allNames = [&] {
    for (int k = 0; k < kRows; ++k) add(Field::OUTNazev, k);
  };
  switch (f) {
    case Field::OUTNazev:
      for (int k = 0; k < kRows; ++k) {
        add(Field::OUTZap, k);
        add(Field::OUTVyp, k);
        add(Field::OUTimpuls, k);
        if (k != i) add(Field::OUTNazev, k);
      }
      break;
    case Field::OUTZap:
      add(Field::OUTVyp, i);
      add(Field::OUTimpuls, i);
      allNames();
      break;
    case Field::OUTVyp:
      add(Field::OUTZap, i);
      add(Field::OUTimpuls, i);
      allNames();
      break;
    default:  // OUTimpuls
      add(Field::OUTVyp, i);
      add(Field::OUTZap, i);
      allNames();
      break;
  }
  return list;
}

// The line under an output check's message that says which text the
// offending one collides with and whose it is.
std::string CollisionLine(const std::string& text, const Entry& with, int row) {
  std::string whichName;
  switch (with.ref.field) {
    case Field::OUTNazev: break;
    case Field::OUTZap: whichName = texts::kOutputNameZap; break;
    case Field::OUTVyp: whichName = texts::kOutputNameVyp; break;
    default: whichName = texts::kOutputNameImpuls; break;
  }
  return texts::CollisionLine(EqualsIgnoringCase(text, with.text), whichName, with.ref.row == row,
                              RowLabel(Family::Output, with.ref.row), with.text);
}

std::vector<Offence> OutputOffences(const DeviceConfig& config, bool firstOnly) {
  std::vector<Offence> found;
  for (int i = 0; i < kRows; ++i) {
    for (const OutputText& t : kOutputTexts) {
      const FieldRef ref{t.field, i};
      const std::string& text = *TextOf(config, ref);
      const std::vector<Entry> entries = EntriesFor(config, i, t.field);
      std::vector<std::string> texts;
      for (const Entry& e : entries) texts.push_back(e.text);
      const auto hit = FirstCollision(text, texts);
      if (!hit) continue;
      const std::string message = t.before + RowLabel(Family::Output, i) + t.after + texts::kProgramEnd;
      found.push_back({ref, WithReason(message, CollisionLine(text, entries[*hit], i))});
      if (firstOnly) return found;
    }
  }
  return found;
}

// The text fields in the order the main window's tabs hold them: a tab's
// general fields as one group, its row fields as one group per row.
std::vector<std::vector<FieldRef>> FieldsInTabOrder() {
  std::vector<std::vector<FieldRef>> groups;
  for (int t = 0; t < kWindowTabCount; ++t) {
    std::vector<const FieldInfo*> texts;
    for (const FieldInfo& info : kFields) {
      if (info.kind == FieldKind::Text && info.tab && IndexOf(*info.tab) == t) texts.push_back(&info);
    }
    std::stable_sort(texts.begin(), texts.end(),
                     [](const FieldInfo* a, const FieldInfo* b) { return a->order < b->order; });
    for (std::size_t i = 0; i < texts.size();) {
      const bool rows = FamilyHasRows(texts[i]->family);
      std::size_t end = i;
      while (end < texts.size() && FamilyHasRows(texts[end]->family) == rows) ++end;
      for (int r = 0; r < (rows ? kRows : 1); ++r) {
        std::vector<FieldRef> group;
        for (std::size_t k = i; k < end; ++k) {
          // The CL1-down text of BAT is the battery text, checked as such.
          if (!IsNamedAsGeneralField({texts[k]->field, r})) group.push_back({texts[k]->field, r});
        }
        groups.push_back(std::move(group));
      }
      i = end;
    }
  }
  return groups;
}

// Runs every field rule over `work` (rewriting it as the window would) and
// then the output checks over `original`; each offence once.
std::vector<Offence> RunRules(DeviceConfig& work, const ProgramSettings& settings, char decimalSeparator,
                              const DeviceConfig& original) {
  ProgramSettings programCopy = settings;
  bool suppressed = false;
  RuleContext ctx{work, programCopy, suppressed, false, decimalSeparator};
  std::vector<Offence> found;
  auto add = [&](Offence o) {
    if (std::find(found.begin(), found.end(), o) == found.end()) found.push_back(std::move(o));
  };
  for (const auto& group : FieldsInTabOrder()) {
    // A conflict within one row is reported once, as the window reports it
    // when the focus moves between its two fields.
    suppressed = false;
    for (const FieldRef& ref : group) {
      const FieldCheck check = CheckField(ctx, ref);
      for (const Message& m : check.messages) add({ref, m.text});
    }
  }
  for (Offence& o : CheckAllOutputs(original)) add(std::move(o));
  return found;
}

}  // namespace

std::optional<Offence> CheckOutputs(const DeviceConfig& config) {
  std::vector<Offence> found = OutputOffences(config, true);
  if (found.empty()) return std::nullopt;
  return found.front();
}

std::vector<Offence> CheckAllOutputs(const DeviceConfig& config) { return OutputOffences(config, false); }

std::vector<Offence> CheckConfiguration(const DeviceConfig& config, const ProgramSettings& settings,
                                        char decimalSeparator) {
  DeviceConfig copy = config;
  return RunRules(copy, settings, decimalSeparator, config);
}

Review ReviewConfiguration(DeviceConfig& config, const ProgramSettings& settings, char decimalSeparator) {
  const DeviceConfig before = config;
  Review review;
  review.offences = RunRules(config, settings, decimalSeparator, before);
  ProgramSettings unused;
  for (const auto& group : FieldsInTabOrder()) {
    for (const FieldRef& ref : group) {
      const std::string& text = *TextOf(before, unused, ref);
      const int limit = InfoOf(ref.field).maxLength;
      const std::size_t length = Utf8Length(text);
      if (limit > 0 && length > static_cast<std::size_t>(limit)) {
        review.offences.push_back({ref, texts::TooLongText(length, limit)});
      }
    }
  }
  // Every field the rules may rewrite, texts and flags, in field order.
  for (int f = 0; f < kFieldCount; ++f) {
    const Field field = static_cast<Field>(f);
    if (InfoOf(field).family == Family::Program) continue;
    const int rows = InfoOf(field).family == Family::General ? 1 : kRows;
    for (int row = 0; row < rows; ++row) {
      const FieldRef ref{field, row};
      if (const std::string* was = TextOf(before, unused, ref)) {
        const std::string& now = *TextOf(config, unused, ref);
        if (*was != now) review.changes.push_back({ref, *was, now});
      } else if (const bool* flag = FlagOf(before, unused, ref)) {
        const bool now = *FlagOf(config, unused, ref);
        if (*flag != now) review.changes.push_back({ref, *flag ? "true" : "false", now ? "true" : "false"});
      }
    }
  }
  return review;
}

std::string BrokenFieldsLine(const DeviceConfig& config, const ProgramSettings& settings, char decimalSeparator) {
  DeviceConfig copy = config;
  const Review review = ReviewConfiguration(copy, settings, decimalSeparator);
  std::vector<FieldRef> named;
  for (const Offence& o : review.offences) {
    if (std::find(named.begin(), named.end(), o.field) == named.end()) named.push_back(o.field);
  }
  if (named.empty()) return {};
  // A long list helps no one: the first few, then how many more.
  constexpr std::size_t kNamedAtMost = 8;
  std::string line = texts::kBrokenFieldsLead;
  for (std::size_t i = 0; i < named.size() && i < kNamedAtMost; ++i) {
    if (i > 0) line += ", ";
    line += FieldCaption(named[i]);
  }
  if (named.size() > kNamedAtMost) line += texts::MoreFields(named.size() - kNamedAtMost);
  return line + ".";
}

std::string WithBrokenFields(const std::string& message, const DeviceConfig& config,
                             const ProgramSettings& settings, char decimalSeparator) {
  const std::string line = BrokenFieldsLine(config, settings, decimalSeparator);
  return line.empty() ? message : message + "\n" + line;
}

}  // namespace vexa::rules
