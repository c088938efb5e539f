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

}  // namespace vexa
