// What an edit changes beside the edited field: the enabling it decides, the
// text shown twice, the usage counted again.
#include <gtest/gtest.h>

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
      {{Field::SwitchReport, 0}, {.enabling = Enabling::SwitchReport}},
      {{Field::PowerReport, 0}, {.enabling = Enabling::PowerReport}},
      {{Field::NotAuthorized, 0}, {.enabling = Enabling::NotAuthorized}},
      {{Field::EnablePS, 0}, {.enabling = Enabling::PowerSave}},
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

TEST(EditFollowUp, EachGroupFollowsItsOwnFlag) {
  const struct {
    Enabling group;
    bool GeneralSettings::*flag;
  } cases[] = {{Enabling::SwitchReport, &GeneralSettings::SwitchReport},
               {Enabling::PowerReport, &GeneralSettings::PowerReport},
               {Enabling::NotAuthorized, &GeneralSettings::NotAuthorized},
               {Enabling::PowerSave, &GeneralSettings::EnablePS}};
  for (const auto& c : cases) {
    for (const bool on : {false, true}) {
      GeneralSettings general;
      general.SwitchReport = general.PowerReport = general.NotAuthorized = general.EnablePS = !on;
      general.*c.flag = on;
      EXPECT_EQ(IsEnabled(c.group, general), on) << static_cast<int>(c.group);
    }
  }
  EXPECT_TRUE(IsEnabled(Enabling::None, GeneralSettings{}));
}

}  // namespace
}  // namespace vexa::rules
