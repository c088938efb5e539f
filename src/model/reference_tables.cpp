#include "model/reference_tables.h"

#include <cstdio>

#include "texts/texts_data.h"

namespace vexa {

ReferenceTables BuildReferenceTables() {
  ReferenceTables t;
  // Usable size of memory code n is 2^(n+7) - 64 bytes, right-aligned in six
  // characters, then " byte".
  for (std::uint32_t n = 0; n < 10; ++n) {
    char text[32];
    std::snprintf(text, sizeof text, "%6lu byte", (1UL << (n + 7)) - 64UL);
    t.memorySizes.push_back({n, text});
  }
  t.modems = {{0, "M1 Siemens"},   {1, "A1 Falcom"},      {2, "A1 Siemens"},   {3, "M20 Siemens"},
              {4, "TC35 Siemens"}, {32, "GM12 Ericsson"}, {33, "GM25 Ericsson"}};
  // 24-bit product codes: high byte differs, then 0xD3, then 0x82.
  auto code = [](std::uint32_t high) { return (high << 16) | (0xD3u << 8) | 0x82u; };
  t.deviceTypes = {{code(0x19), "KORIN3"}, {code(0x22), "KORIN2"}, {code(0x20), "TBX"},
                   {code(0x21), "VEXA"},   {0, ""},                 {0, ""}};
  t.smsCentres = {"+420602909909", "+420603052000", "+420608005681"};
  t.ports = {"COM 1", "COM 2", "COM 3", "COM 4"};
  return t;
}

std::array<AnalogScale, kRows> BuildAnalogScales() {
  std::array<AnalogScale, kRows> s{};
  for (int r = 0; r < kRows; ++r) {
    if (r <= 4) s[r] = {0, 100, 1, "%"};
    else if (r <= 6) s[r] = {0, 100, 1, texts::kUnitCelsius};
    else s[r] = {0, 27, 1, "V"};
  }
  return s;
}

const CodeText* LookUp(const std::vector<CodeText>& table, std::uint32_t code) {
  for (const auto& e : table) {
    if (e.code == code) return &e;
  }
  return nullptr;
}

}  // namespace vexa
