// Turns the unit's EEPROM image back into the configuration.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "codec/image.h"
#include "model/device_config.h"
#include "model/fields.h"

namespace vexa {

// Reads every field the image holds into `config`; numbers are written with
// `decimalSeparator`. Each crossing text is read from the slot the encoder
// writes it to, so a negated analog input keeps its texts across a
// read-then-write. The image is trusted as the header test left it, but every
// read is bounds-checked: a pointer or string that runs past the image end, or
// a phone entry whose count is not hexadecimal, makes the decode fail and
// leaves `config` untouched; `why`, when given, then says what could not be
// read and where.
struct DecodeError {
  std::optional<FieldRef> field;  // none when no one field is to blame (a block pointer, a spare text)
  std::string cause;              // in the user's words (texts_data.h) with the address, no final full stop
  long end = 0;  // just past the bytes that show the fault; kImageSize when a text or an entry runs off the image
};
bool DecodeImage(const EepromImage& image, const std::array<AnalogScale, kRows>& scales, char decimalSeparator,
                 DeviceConfig& config, DecodeError* why = nullptr);

// The reason line: "INPNazev[3]: text přesahuje konec paměti (adresa 0xFFF0)."
std::string DescribeDecodeError(const DecodeError& e);

}  // namespace vexa
