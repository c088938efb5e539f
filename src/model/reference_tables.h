// Code-to-text tables built at start-up and looked up at identification.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/device_config.h"

namespace vexa {

struct CodeText {
  std::uint32_t code = 0;
  std::string text;
};

struct ReferenceTables {
  std::vector<CodeText> memorySizes;  // 10 entries, code = position
  std::vector<CodeText> modems;       // 7 entries
  std::vector<CodeText> deviceTypes;  // 6 slots, the last two empty (code 0)
  std::vector<std::string> smsCentres;
  std::vector<std::string> ports;     // "COM 1".."COM 4"
};

// Builds the tables exactly as the unit's firmware codes them.
ReferenceTables BuildReferenceTables();
// The analog scales of rows 0..7.
std::array<AnalogScale, kRows> BuildAnalogScales();

// First entry whose code equals `code`; nullptr when none.
const CodeText* LookUp(const std::vector<CodeText>& table, std::uint32_t code);

}  // namespace vexa
