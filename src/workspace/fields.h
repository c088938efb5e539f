// Every editable field of the configuration by name, with its family, kind and
// typing limit, so that the field rules, the windows, the JSON interchange and
// the command-line checks address fields the same way.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "workspace/device_config.h"

namespace vexa {

enum class Family { General, Phone, Input, Output, Analog, Program };
enum class FieldKind { Text, Flag };

enum class Field {
  // general
  JmenoStanice, PIN, TCcentra, DobaPlatnostiSMS, OdpovidatT0, PrepnoutNepovolPristup, PINAuth,
  NotAuthorized, rtNotAuthorized, PowerReport, rtPowerUp, rtPowerDown, SwitchReport, rtSwitchOn,
  rtSwitchOff, Batt, rtBattLow, EnablePS, SuperPS, PSOutOff, PSOnH, PSOnM, PSOffH, PSOffM,
  // phone rows
  TC, TCPrijem, TCUdalost,
  // input rows
  INPNazev, INPZap, INPVyp, INPLH, INPHL, INPLHEvent, INPHLEvent, INPNeg, INPZpr, MaskDInLHAlarm,
  MaskDInHLAlarm,
  // output rows
  OUTNazev, OUTZap, OUTVyp, OUTimpuls, OUTimpulsLEN, OUTNeg, OUTZpr,
  // analog rows
  AINNazev, AINStateL, AINStateM, AINStateH, AINCL1Level, AINHCL1Level, AINCL2Level, AINHCL2Level,
  AINCL1Up, AINCL1Dn, AINCL2Up, AINCL2Dn, AINCL1UpEvent, AINCL1DnEvent, AINCL2UpEvent,
  AINCL2DnEvent, AINNeg, AINZpr, AINPrc,
  // program settings
  Port, CheckWrite, UTO, UTOEnable,
};

inline constexpr int kFieldCount = static_cast<int>(Field::UTOEnable) + 1;

struct FieldInfo {
  Field field;
  const char* name;  // the configuration name, e.g. "INPNazev"
  Family family;
  FieldKind kind;
  int maxLength;     // most characters while typing; 0 = no limit (texts only)
  bool counted;      // counted by the EEPROM usage accounting
};

const FieldInfo& InfoOf(Field f);
std::optional<Field> FieldByName(std::string_view name);

// A field of one row (row 0..7; 0 for general and program fields).
struct FieldRef {
  Field field;
  int row = 0;
  bool operator==(const FieldRef&) const = default;
};

// Plain access by name. Null when the field is not of that kind.
// rtBattLow is the same text as AINCL1Dn of the battery row.
std::string* TextOf(DeviceConfig& c, ProgramSettings& s, FieldRef f);
const std::string* TextOf(const DeviceConfig& c, const ProgramSettings& s, FieldRef f);
bool* FlagOf(DeviceConfig& c, ProgramSettings& s, FieldRef f);
const bool* FlagOf(const DeviceConfig& c, const ProgramSettings& s, FieldRef f);

// Row labels as the windows and messages show them: "T1", "I1", "O1", "A1".."A7", "BAT".
std::string RowLabel(Family family, int row);

// "INPNazev[0]" for row fields, "PIN" for general ones.
std::string FieldDisplayName(FieldRef f);

}  // namespace vexa
