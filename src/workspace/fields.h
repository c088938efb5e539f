// Every editable field of the configuration by name, with its family, kind,
// typing limit, stored form and the member that holds it. This table is the
// one list of fields: the accessors, the JSON interchange and the EEPROM usage
// accounting follow it, and the field rules, the windows and the command-line
// checks address fields through it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "workspace/device_config.h"

namespace vexa {

enum class Family { General, Phone, Input, Output, Analog, Program };
enum class FieldKind { Text, Flag };

// How a text field is held and stored: plain text; the decimal number the
// user sees (kept in the image's fixed part, written with "." in JSON); or a
// phone number, which the image keeps as its semi-octet address text.
enum class TextForm { Plain, Number, Phone };

// The fields, in the order of the field table below (checked when compiling).
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
  // program settings (keep UTOEnable last: it sets the count)
  Port, CheckWrite, UTO, UTOEnable,
};

inline constexpr int kFieldCount = static_cast<int>(Field::UTOEnable) + 1;

// Where a field's value lives: a member of the general settings, of the row
// record of its family, or of the program settings.
using FieldMember =
    std::variant<std::string GeneralSettings::*, bool GeneralSettings::*, std::string PhoneEntry::*,
                 bool PhoneEntry::*, std::string DigitalInput::*, bool DigitalInput::*, std::string DigitalOutput::*,
                 bool DigitalOutput::*, std::string AnalogInput::*, bool AnalogInput::*,
                 std::string ProgramSettings::*, bool ProgramSettings::*>;

struct FieldInfo {
  Field field;
  const char* name;  // the configuration name, e.g. "INPNazev"
  Family family;
  FieldKind kind;
  int maxLength;     // most characters while typing; 0 = no limit (texts only)
  bool counted;      // counted by the EEPROM usage accounting
  TextForm form;
  FieldMember member;
  // The one row whose record holds the field, for a general field that is
  // another name of a row's member (rtBattLow); -1 for every other field.
  int fixedRow;
};

namespace field_table {

template <class Rec>
constexpr Family FamilyOf() {
  if constexpr (std::is_same_v<Rec, GeneralSettings>) return Family::General;
  if constexpr (std::is_same_v<Rec, PhoneEntry>) return Family::Phone;
  if constexpr (std::is_same_v<Rec, DigitalInput>) return Family::Input;
  if constexpr (std::is_same_v<Rec, DigitalOutput>) return Family::Output;
  if constexpr (std::is_same_v<Rec, AnalogInput>) return Family::Analog;
  if constexpr (std::is_same_v<Rec, ProgramSettings>) return Family::Program;
}

inline constexpr bool kCounted = true;
inline constexpr bool kNotCounted = false;

// A text held in the record of its family.
template <class Rec>
constexpr FieldInfo Text(Field f, const char* name, std::string Rec::*m, int maxLength, bool counted,
                         TextForm form = TextForm::Plain) {
  return {f, name, FamilyOf<Rec>(), FieldKind::Text, maxLength, counted, form, m, -1};
}
// A decimal number held as its text; never counted.
template <class Rec>
constexpr FieldInfo Number(Field f, const char* name, std::string Rec::*m, int maxLength) {
  return Text(f, name, m, maxLength, kNotCounted, TextForm::Number);
}
template <class Rec>
constexpr FieldInfo Flag(Field f, const char* name, bool Rec::*m) {
  return {f, name, FamilyOf<Rec>(), FieldKind::Flag, 0, kNotCounted, TextForm::Plain, m, -1};
}
// A general text that is the member `m` of row `row` under another name.
template <class Rec>
constexpr FieldInfo RowText(Field f, const char* name, std::string Rec::*m, int row, int maxLength, bool counted) {
  return {f, name, Family::General, FieldKind::Text, maxLength, counted, TextForm::Plain, m, row};
}

using G = GeneralSettings;
using P = PhoneEntry;
using I = DigitalInput;
using O = DigitalOutput;
using A = AnalogInput;
using S = ProgramSettings;

}  // namespace field_table

// Every field once, in the order of the Field enumeration. A new field is a
// member of its record and one line here.
inline constexpr std::array<FieldInfo, kFieldCount> kFields = [] {
  using namespace field_table;
  return std::array<FieldInfo, kFieldCount>{{
      Text(Field::JmenoStanice, "JmenoStanice", &G::JmenoStanice, kTextLimit, kCounted),
      Text(Field::PIN, "PIN", &G::PIN, kPinLimit, kCounted),
      Text(Field::TCcentra, "TCcentra", &G::TCcentra, 0, kCounted),  // stored as plain text
      Number(Field::DobaPlatnostiSMS, "DobaPlatnostiSMS", &G::DobaPlatnostiSMS, kSmsValidityLimit),
      Flag(Field::OdpovidatT0, "OdpovidatT0", &G::OdpovidatT0),
      Flag(Field::PrepnoutNepovolPristup, "PrepnoutNepovolPristup", &G::PrepnoutNepovolPristup),
      Flag(Field::PINAuth, "PINAuth", &G::PINAuth),
      Flag(Field::NotAuthorized, "NotAuthorized", &G::NotAuthorized),
      Text(Field::rtNotAuthorized, "rtNotAuthorized", &G::rtNotAuthorized, kTextLimit, kCounted),
      Flag(Field::PowerReport, "PowerReport", &G::PowerReport),
      Text(Field::rtPowerUp, "rtPowerUp", &G::rtPowerUp, kTextLimit, kCounted),
      Text(Field::rtPowerDown, "rtPowerDown", &G::rtPowerDown, kTextLimit, kCounted),
      Flag(Field::SwitchReport, "SwitchReport", &G::SwitchReport),
      Text(Field::rtSwitchOn, "rtSwitchOn", &G::rtSwitchOn, kTextLimit, kCounted),
      Text(Field::rtSwitchOff, "rtSwitchOff", &G::rtSwitchOff, kTextLimit, kCounted),
      Flag(Field::Batt, "Batt", &G::Batt),
      // The battery-low text is the battery row's CL1-down text; both are counted.
      RowText(Field::rtBattLow, "rtBattLow", &A::AINCL1Dn, kBatteryRow, kTextLimit, kCounted),
      Flag(Field::EnablePS, "EnablePS", &G::EnablePS),
      Flag(Field::SuperPS, "SuperPS", &G::SuperPS),
      Flag(Field::PSOutOff, "PSOutOff", &G::PSOutOff),
      Number(Field::PSOnH, "PSOnH", &G::PSOnH, kPowerSaveLimit),
      Number(Field::PSOnM, "PSOnM", &G::PSOnM, kPowerSaveLimit),
      Number(Field::PSOffH, "PSOffH", &G::PSOffH, kPowerSaveLimit),
      Number(Field::PSOffM, "PSOffM", &G::PSOffM, kPowerSaveLimit),
      Text(Field::TC, "TC", &P::TC, kPhoneLimit, kCounted, TextForm::Phone),
      Flag(Field::TCPrijem, "TCPrijem", &P::TCPrijem),
      Flag(Field::TCUdalost, "TCUdalost", &P::TCUdalost),
      Text(Field::INPNazev, "INPNazev", &I::INPNazev, kTextLimit, kCounted),
      Text(Field::INPZap, "INPZap", &I::INPZap, kTextLimit, kCounted),
      Text(Field::INPVyp, "INPVyp", &I::INPVyp, kTextLimit, kCounted),
      Text(Field::INPLH, "INPLH", &I::INPLH, kTextLimit, kCounted),
      Text(Field::INPHL, "INPHL", &I::INPHL, kTextLimit, kCounted),
      Flag(Field::INPLHEvent, "INPLHEvent", &I::INPLHEvent),
      Flag(Field::INPHLEvent, "INPHLEvent", &I::INPHLEvent),
      Flag(Field::INPNeg, "INPNeg", &I::INPNeg),
      Flag(Field::INPZpr, "INPZpr", &I::INPZpr),
      Flag(Field::MaskDInLHAlarm, "MaskDInLHAlarm", &I::MaskDInLHAlarm),
      Flag(Field::MaskDInHLAlarm, "MaskDInHLAlarm", &I::MaskDInHLAlarm),
      Text(Field::OUTNazev, "OUTNazev", &O::OUTNazev, kTextLimit, kCounted),
      Text(Field::OUTZap, "OUTZap", &O::OUTZap, kTextLimit, kCounted),
      Text(Field::OUTVyp, "OUTVyp", &O::OUTVyp, kTextLimit, kCounted),
      Text(Field::OUTimpuls, "OUTimpuls", &O::OUTimpuls, kTextLimit, kCounted),
      Number(Field::OUTimpulsLEN, "OUTimpulsLEN", &O::OUTimpulsLEN, kPulseLengthLimit),
      Flag(Field::OUTNeg, "OUTNeg", &O::OUTNeg),
      Flag(Field::OUTZpr, "OUTZpr", &O::OUTZpr),
      Text(Field::AINNazev, "AINNazev", &A::AINNazev, kTextLimit, kCounted),
      Text(Field::AINStateL, "AINStateL", &A::AINStateL, kTextLimit, kCounted),
      Text(Field::AINStateM, "AINStateM", &A::AINStateM, kTextLimit, kCounted),
      Text(Field::AINStateH, "AINStateH", &A::AINStateH, kTextLimit, kCounted),
      Number(Field::AINCL1Level, "AINCL1Level", &A::AINCL1Level, kLevelLimit),
      Number(Field::AINHCL1Level, "AINHCL1Level", &A::AINHCL1Level, kLevelLimit),
      Number(Field::AINCL2Level, "AINCL2Level", &A::AINCL2Level, kLevelLimit),
      Number(Field::AINHCL2Level, "AINHCL2Level", &A::AINHCL2Level, kLevelLimit),
      Text(Field::AINCL1Up, "AINCL1Up", &A::AINCL1Up, kTextLimit, kCounted),
      Text(Field::AINCL1Dn, "AINCL1Dn", &A::AINCL1Dn, kTextLimit, kCounted),
      Text(Field::AINCL2Up, "AINCL2Up", &A::AINCL2Up, kTextLimit, kCounted),
      Text(Field::AINCL2Dn, "AINCL2Dn", &A::AINCL2Dn, kTextLimit, kCounted),
      Flag(Field::AINCL1UpEvent, "AINCL1UpEvent", &A::AINCL1UpEvent),
      Flag(Field::AINCL1DnEvent, "AINCL1DnEvent", &A::AINCL1DnEvent),
      Flag(Field::AINCL2UpEvent, "AINCL2UpEvent", &A::AINCL2UpEvent),
      Flag(Field::AINCL2DnEvent, "AINCL2DnEvent", &A::AINCL2DnEvent),
      Flag(Field::AINNeg, "AINNeg", &A::AINNeg),
      Flag(Field::AINZpr, "AINZpr", &A::AINZpr),
      Flag(Field::AINPrc, "AINPrc", &A::AINPrc),
      Text(Field::Port, "Port", &S::Port, 0, kNotCounted),
      Flag(Field::CheckWrite, "CheckWrite", &S::CheckWrite),
      Text(Field::UTO, "UTO", &S::UTO, kUtoLimit, kNotCounted),
      Flag(Field::UTOEnable, "UTOEnable", &S::UTOEnable),
  }};
}();

namespace field_table {

// Each entry sits at its enumerator's place. (Family and kind follow from the
// member, so they cannot disagree with where the value lives.)
constexpr bool InEnumOrder() {
  for (int i = 0; i < kFieldCount; ++i) {
    if (kFields[static_cast<std::size_t>(i)].field != static_cast<Field>(i)) return false;
  }
  return true;
}
static_assert(InEnumOrder(), "the field table must list every field once, in the order of enum Field");

}  // namespace field_table

constexpr const FieldInfo& InfoOf(Field f) { return kFields[static_cast<std::size_t>(f)]; }
std::optional<Field> FieldByName(std::string_view name);

// Rows a field of the family has: kRows for the row families, 1 otherwise.
constexpr int RowCount(Family family) {
  return family == Family::General || family == Family::Program ? 1 : kRows;
}

// Row `row` of a family, 0..kRows-1. Any other number is a fault of the
// program: it stops here, naming the row, rather than edit another row.
std::size_t RowIndex(int row);

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
// A text of the unit's configuration; null for flags and program settings.
const std::string* TextOf(const DeviceConfig& c, FieldRef f);

// Row labels as the windows and messages show them: "T1", "I1", "O1", "A1".."A7", "BAT".
std::string RowLabel(Family family, int row);

// "INPNazev[0]" for row fields, "PIN" for general ones.
std::string FieldDisplayName(FieldRef f);

}  // namespace vexa
