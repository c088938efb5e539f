// What an edit of one field changes beside the field itself: the group of
// controls whose enabling follows it, and the other field that shows the
// same text (the battery text of the SMS tab is the CL1-down text of the
// analog row "BAT"). Pure logic; the window enables and shows.
#pragma once

#include <optional>

#include "workspace/device_config.h"
#include "workspace/fields.h"

namespace vexa::rules {

// The controls enabled by one flag of the configuration.
enum class Enabling {
  None,
  SwitchReport,   // the switch report texts
  PowerReport,    // the power report texts
  NotAuthorized,  // the not-authorised text
  PowerSave,      // the power-save periods and check boxes
};

struct EditFollowUp {
  Enabling enabling = Enabling::None;
  std::optional<FieldRef> mirror = std::nullopt;  // shown again from the configuration
  bool usage = false;              // the EEPROM usage is computed again

  bool operator==(const EditFollowUp&) const = default;
};

EditFollowUp FollowUpOf(FieldRef edited);

// True when the controls of `group` take input for `general` (None: true).
bool IsEnabled(Enabling group, const GeneralSettings& general);

}  // namespace vexa::rules
