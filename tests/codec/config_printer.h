// Shows a configuration as its JSON when a test comparison fails.
#pragma once

#include <ostream>

#include "file/config_json.h"
#include "model/device_config.h"

namespace vexa {
inline void PrintTo(const DeviceConfig& c, std::ostream* os) { *os << "\n" << ConfigToJsonText(c) << "\n"; }
}  // namespace vexa
