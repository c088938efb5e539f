// The field a text of the text area belongs to, so that the encoder and the
// decoder name the same text the same way ("INPNazev[3]", "JmenoStanice").
#pragma once

#include <array>
#include <string>
#include <type_traits>

#include "model/device_config.h"
#include "model/fields.h"

namespace vexa::codec {

template <class Row>
const std::array<Row, kRows>& RowsOf(const DeviceConfig& c) {
  if constexpr (std::is_same_v<Row, DigitalInput>)
    return c.inputs;
  else if constexpr (std::is_same_v<Row, DigitalOutput>)
    return c.outputs;
  else
    return c.analogs;
}

// The field whose text is `member` of row `row` (of the general settings when
// Row is GeneralSettings). Looked up only when a message needs it.
template <class Row>
FieldRef TextFieldOf(std::string Row::*member, int row) {
  DeviceConfig probe;
  ProgramSettings unused;
  for (int f = 0; f < kFieldCount; ++f) {
    const FieldRef ref{static_cast<Field>(f), row};
    const std::string* text = TextOf(probe, unused, ref);
    if (text == nullptr || InfoOf(ref.field).family == Family::Program) continue;
    if constexpr (std::is_same_v<Row, GeneralSettings>) {
      if (text == &(probe.general.*member)) return ref;
    } else {
      if (text == &(RowsOf<Row>(probe)[static_cast<std::size_t>(row)].*member)) return ref;
    }
  }
  return {Field::JmenoStanice, row};
}

}  // namespace vexa::codec
