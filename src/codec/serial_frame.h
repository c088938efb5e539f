// One frame of the unit's serial protocol: a payload and its length.
#pragma once

#include <array>
#include <cstdint>

namespace vexa {

struct SerialFrame {
  std::array<std::uint8_t, 256> Data{};
  std::int16_t Length = 0;  // a reply of length 0 means no valid reply
};

}  // namespace vexa
