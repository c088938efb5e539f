#include "workspace/workspace.h"

#include "codec/values.h"

namespace vexa {

void ApplyStartupDefaults(DeviceConfig& config, const std::array<AnalogScale, kRows>& scales) {
  for (int r = 0; r < kRows; ++r) {
    config.analogs[r].AINCL1Level = FormatNumber(scales[r].Min, '.');
    config.analogs[r].AINCL2Level = FormatNumber(scales[r].Max, '.');
  }
}

Workspace::Workspace() : scales(BuildAnalogScales()), tables(BuildReferenceTables()) {
  ApplyStartupDefaults(config, scales);
}

bool DecodeImage(Workspace& ws, DecodeError* why) {
  ws.validationSuppressed = true;
  const bool ok = DecodeImage(ws.image, ws.scales, ws.decimalSeparator, ws.config, why);
  ws.validationSuppressed = false;
  return ok;
}

bool DecodeImage(Workspace& ws, const EepromImage& image, DecodeError* why) {
  ws.validationSuppressed = true;
  const bool ok = DecodeImage(image, ws.scales, ws.decimalSeparator, ws.config, why);
  ws.validationSuppressed = false;
  if (ok && &image != &ws.image) ws.image = image;
  return ok;
}

bool EncodeImage(Workspace& ws, long* usedLength, EncodeError* why) {
  return EncodeImage(ws.config, ws.scales, ws.image, usedLength, why);
}

}  // namespace vexa
