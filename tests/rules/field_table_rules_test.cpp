// Every text of the field table is checked when it is left: a text whose
// rule entry was forgotten would take any character without a word.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "rules/rules.h"

namespace vexa::rules {
namespace {

TEST(FieldTableRules, EveryTextFieldRefusesOrRewritesADoubleQuote) {
  // The station name takes any text; the port is chosen from a list.
  const Field ruleless[] = {Field::JmenoStanice, Field::Port};
  for (const FieldInfo& info : kFields) {
    if (info.kind != FieldKind::Text ||
        std::find(std::begin(ruleless), std::end(ruleless), info.field) != std::end(ruleless)) {
      continue;
    }
    DeviceConfig config;
    ProgramSettings settings;
    bool suppressed = false;
    RuleContext ctx{config, settings, suppressed};
    const FieldRef ref{info.field, 0};
    *TextOf(config, settings, ref) = "\"";
    const FieldCheck check = CheckField(ctx, ref);
    EXPECT_TRUE(check.failed || !check.changed.empty()) << info.name << " has no rule";
  }
}

}  // namespace
}  // namespace vexa::rules
