// Turns the unit's EEPROM image back into the configuration.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "codec/image.h"
#include "workspace/device_config.h"
#include "workspace/fields.h"
#include "workspace/workspace.h"

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

// Decodes the workspace's image into a fresh configuration and replaces the
// workspace's configuration only when that succeeds. The validation-suppressed
// flag is set for the run and cleared at its end. Showing the new values is
// the caller's job.
bool DecodeImage(Workspace& ws, DecodeError* why = nullptr);

// The same for an image read from elsewhere (a file): when it decodes, it
// replaces the workspace's image and configuration together; when it does
// not, both stay as they were, so no byte of a rejected file reaches a later
// save or write.
bool DecodeImage(Workspace& ws, const EepromImage& image, DecodeError* why = nullptr);

// The reason line: "INPNazev[3]: text přesahuje konec paměti (adresa 0xFFF0)."
std::string DescribeDecodeError(const DecodeError& e);

}  // namespace vexa
