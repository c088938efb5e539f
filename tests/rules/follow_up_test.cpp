// What an edit changes beside the edited field: the enabling it decides, the
// text shown twice, the usage counted again.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <variant>

#include "rules/follow_up.h"

namespace vexa::rules {
namespace {

TEST(EditFollowUp, EachEditCarriesItsOwnFollowUp) {
  const FieldRef batteryDown{Field::AINCL1Dn, kBatteryRow};
  const FieldRef batteryText{Field::rtBattLow, 0};
  const struct {
    FieldRef edited;
    EditFollowUp expected;
  } cases[] = {
      {{Field::SwitchReport, 0}, {.enabling = Field::SwitchReport}},
      {{Field::PowerReport, 0}, {.enabling = Field::PowerReport}},
      {{Field::NotAuthorized, 0}, {.enabling = Field::NotAuthorized}},
      {{Field::EnablePS, 0}, {.enabling = Field::EnablePS}},
      {batteryText, {.mirror = batteryDown, .usage = true}},
      {batteryDown, {.mirror = batteryText, .usage = true}},
      {{Field::AINCL1Dn, kBatteryRow - 1}, {.usage = true}},
      {{Field::INPNazev, 2}, {.usage = true}},
      {{Field::JmenoStanice, 0}, {.usage = true}},
      {{Field::PINAuth, 0}, {}},
      {{Field::Backup, 0}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FollowUpOf(c.edited), c.expected) << InfoOf(c.edited.field).name << " row " << c.edited.row;
  }
}

// Each flag that enables fields decides their enabling alone, and each
// field so enabled names a general flag.
TEST(EditFollowUp, EachGroupFollowsItsOwnFlag) {
  const Field flags[] = {Field::SwitchReport, Field::PowerReport, Field::NotAuthorized, Field::EnablePS};
  for (const Field flag : flags) {
    EXPECT_TRUE(EnablesOthers(flag)) << InfoOf(flag).name;
    for (const bool on : {false, true}) {
      GeneralSettings general;
      general.SwitchReport = general.PowerReport = general.NotAuthorized = general.EnablePS = !on;
      general.*std::get<bool GeneralSettings::*>(InfoOf(flag).member) = on;
      EXPECT_EQ(IsEnabled(flag, general), on) << InfoOf(flag).name;
    }
  }
  for (const FieldInfo& f : kFields) {
    if (!f.enabledBy) continue;
    EXPECT_EQ(InfoOf(*f.enabledBy).family, Family::General) << f.name;
    EXPECT_EQ(InfoOf(*f.enabledBy).kind, FieldKind::Flag) << f.name;
    EXPECT_NE(std::find(std::begin(flags), std::end(flags), *f.enabledBy), std::end(flags)) << f.name;
  }
  EXPECT_TRUE(IsEnabled(Field::JmenoStanice, GeneralSettings{}));
}

}  // namespace
}  // namespace vexa::rules
