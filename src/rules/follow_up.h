// What an edit of one field changes beside the field itself: the group of
// controls whose enabling follows it, and the other field that shows the
// same text (the battery text of the SMS tab is the CL1-down text of the
// analog row "BAT"). Pure logic; the window enables and shows.
#pragma once

#include <optional>

#include "model/device_config.h"
#include "model/fields.h"

namespace vexa::rules {

struct EditFollowUp {
  // The flag whose group of controls (the fields it enables, EnabledBy in
  // the field table) follows its new value; none for any other field.
  std::optional<Field> enabling = std::nullopt;
  std::optional<FieldRef> mirror = std::nullopt;  // shown again from the configuration
  bool usage = false;              // the EEPROM usage is computed again

  bool operator==(const EditFollowUp&) const = default;
};

EditFollowUp FollowUpOf(FieldRef edited);

// True when the controls that `flag` enables take input for `general` (a
// field that is no general flag: true).
bool IsEnabled(Field flag, const GeneralSettings& general);

}  // namespace vexa::rules
