#include "rules/follow_up.h"

#include <variant>

namespace vexa::rules {

EditFollowUp FollowUpOf(FieldRef edited) {
  if (EnablesOthers(edited.field)) return {.enabling = edited.field};
  EditFollowUp out;
  const FieldInfo& info = InfoOf(edited.field);
  out.usage = info.kind == FieldKind::Text && info.counted;
  if (edited.field == Field::rtBattLow) out.mirror = FieldRef{Field::AINCL1Dn, kBatteryRow};
  if (edited.field == Field::AINCL1Dn && edited.row == kBatteryRow) out.mirror = FieldRef{Field::rtBattLow, 0};
  return out;
}

bool IsEnabled(Field flag, const GeneralSettings& general) {
  const auto* member = std::get_if<bool GeneralSettings::*>(&InfoOf(flag).member);
  return member == nullptr || general.**member;
}

}  // namespace vexa::rules
