// What differs between two configurations, field by field through the field
// table, each difference named as the windows show it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/device_config.h"
#include "model/fields.h"

namespace vexa {

struct FieldDifference {
  std::string name;     // "TC[2]", "PIN", "sendAtOnceByte[0].bit5"
  std::string caption;  // "T3 Telefonní číslo", "I2 Název stavu zapnuto (1)"
  bool flag = false;    // a flag or a bit: the values are kCompareOn / kCompareOff
  std::string a, b;
};

// The caption of a field as its editor or the main window shows it, without
// the row label.
std::string FieldCaption(Field field);
// The caption with the row label in front for row fields.
std::string FieldCaption(FieldRef field);

// Every field and row whose value differs, in the order of the field table,
// then the bits of the output-function byte and of each analog row's
// send-at-once byte. rtBattLow is listed once, as itself (it is the text of
// the battery row's CL1 down). Empty when the configurations are the same.
std::vector<FieldDifference> CompareConfigs(const DeviceConfig& a, const DeviceConfig& b);

// The configuration as a file or the unit would hold it: encoded into an
// image and decoded again, so that what the encoder does not keep (a report
// flag stored off while its text is empty, a number's notation) reads as the
// unit would read it. The configuration itself when it cannot be encoded.
DeviceConfig StoredForm(const DeviceConfig& config, const std::array<AnalogScale, kRows>& scales,
                        char decimalSeparator);

// CompareConfigs over the stored forms of both: an unchanged configuration
// compared with its own file or with the unit it was written to shows no
// difference.
std::vector<FieldDifference> CompareStored(const DeviceConfig& a, const DeviceConfig& b,
                                           const std::array<AnalogScale, kRows>& scales, char decimalSeparator);

}  // namespace vexa
