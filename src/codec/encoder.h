// Turns the configuration into the unit's EEPROM image.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "codec/image.h"
#include "model/device_config.h"
#include "model/fields.h"

namespace vexa {

// Writes the configuration into `image` in the unit's layout: header,
// fixed settings, text area and end marker. Bytes the layout does not assign
// to the program keep what the image held. False, with the image left as it
// was, when DobaPlatnostiSMS is not a number that fits, a text holds a NUL,
// a phone number cannot be stored so that the unit reads it back in step, or
// the text area would run past offset 65,535. `usedLength` receives the
// offset just past the end marker; `why`, on failure, what stopped it.
struct EncodeError {
  std::optional<FieldRef> field;  // none when no one field is to blame (the text area is full)
  std::string cause;              // in the user's words (texts_data.h), no final full stop
};
bool EncodeImage(const DeviceConfig& config, const std::array<AnalogScale, kRows>& scales, EepromImage& image,
                 long* usedLength = nullptr, EncodeError* why = nullptr);

// The reason line: "DobaPlatnostiSMS: není to počet dní, který zařízení uloží (nejvýše 89)."
std::string DescribeEncodeError(const EncodeError& e);

}  // namespace vexa
