#include "rules/follow_up.h"

namespace vexa::rules {

EditFollowUp FollowUpOf(FieldRef edited) {
  switch (edited.field) {
    case Field::SwitchReport: return {.enabling = Enabling::SwitchReport};
    case Field::PowerReport: return {.enabling = Enabling::PowerReport};
    case Field::NotAuthorized: return {.enabling = Enabling::NotAuthorized};
    case Field::EnablePS: return {.enabling = Enabling::PowerSave};
    default: break;
  }
  EditFollowUp out;
  const FieldInfo& info = InfoOf(edited.field);
  out.usage = info.kind == FieldKind::Text && info.counted;
  if (edited.field == Field::rtBattLow) out.mirror = FieldRef{Field::AINCL1Dn, kBatteryRow};
  if (edited.field == Field::AINCL1Dn && edited.row == kBatteryRow) out.mirror = FieldRef{Field::rtBattLow, 0};
  return out;
}

bool IsEnabled(Enabling group, const GeneralSettings& general) {
  switch (group) {
    case Enabling::SwitchReport: return general.SwitchReport;
    case Enabling::PowerReport: return general.PowerReport;
    case Enabling::NotAuthorized: return general.NotAuthorized;
    case Enabling::PowerSave: return general.EnablePS;
    case Enabling::None: break;
  }
  return true;
}

}  // namespace vexa::rules
