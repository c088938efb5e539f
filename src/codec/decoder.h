// Turns the unit's EEPROM image back into the configuration.
#pragma once

#include <array>

#include "codec/image.h"
#include "workspace/device_config.h"
#include "workspace/workspace.h"

namespace vexa {

// Reads every field the image holds into `config`; numbers are written with
// `decimalSeparator`. Each crossing text is read from the slot the encoder
// writes it to, so a negated analog input keeps its texts across a
// read-then-write. The image is trusted as the header test left it, but every
// read is bounds-checked: a pointer or string that runs past the image end, or
// a phone entry whose count is not hexadecimal, makes the decode fail and
// leaves `config` untouched.
bool DecodeImage(const EepromImage& image, const std::array<AnalogScale, kRows>& scales, char decimalSeparator,
                 DeviceConfig& config);

// Decodes the workspace's image into a fresh configuration and replaces the
// workspace's configuration only when that succeeds. The validation-suppressed
// flag is set for the run and cleared at its end. Showing the new values is
// the caller's job.
bool DecodeImage(Workspace& ws);

// The same for an image read from elsewhere (a file): when it decodes, it
// replaces the workspace's image and configuration together; when it does
// not, both stay as they were, so no byte of a rejected file reaches a later
// save or write.
bool DecodeImage(Workspace& ws, const EepromImage& image);

}  // namespace vexa
