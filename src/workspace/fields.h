// Every editable field of the configuration by name, with its family, kind,
// typing limit, stored form, the member that holds it, and where the window
// shows it: its caption, its tab and its place within the tab. This table is
// the one list of fields: the accessors, the JSON interchange, the EEPROM usage
// accounting, the compare captions, the order of the whole-configuration
// check and the tab a failing rule brings to the front follow it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "workspace/device_config.h"
#include "workspace/window_tab.h"

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
  Port, CheckWrite, FullRead, Backup, FullWrite, UTO, UTOEnable,
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
  // The text beside the field in the main window or its row editor.
  const char* caption = nullptr;
  // The tab that shows it (the analog rows' fields: the tab of rows A1..A4;
  // WindowTabOf gives a row's own tab); none for the program settings kept in
  // the panels beside the tabs.
  std::optional<WindowTab> tab;
  // Its place within the tab, from 1, in the order the tab shows its fields.
  int order = 0;

  constexpr FieldInfo At(WindowTab t, int place, const char* text) const {
    FieldInfo f = *this;
    f.tab = t;
    f.order = place;
    f.caption = text;
    return f;
  }
  constexpr FieldInfo BesideTabs(const char* text) const {
    FieldInfo f = *this;
    f.caption = text;
    return f;
  }
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
  return {f, name, FamilyOf<Rec>(), FieldKind::Text, maxLength, counted, form, m, -1, nullptr, std::nullopt, 0};
}
// A decimal number held as its text; never counted.
template <class Rec>
constexpr FieldInfo Number(Field f, const char* name, std::string Rec::*m, int maxLength) {
  return Text(f, name, m, maxLength, kNotCounted, TextForm::Number);
}
template <class Rec>
constexpr FieldInfo Flag(Field f, const char* name, bool Rec::*m) {
  return {f, name, FamilyOf<Rec>(), FieldKind::Flag, 0, kNotCounted, TextForm::Plain, m, -1, nullptr, std::nullopt, 0};
}
// A general text that is the member `m` of row `row` under another name.
template <class Rec>
constexpr FieldInfo RowText(Field f, const char* name, std::string Rec::*m, int row, int maxLength, bool counted) {
  return {f, name, Family::General, FieldKind::Text, maxLength, counted, TextForm::Plain, m, row, nullptr, std::nullopt, 0};
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
      Text(Field::JmenoStanice, "JmenoStanice", &G::JmenoStanice, kTextLimit, kCounted)
          .At(WindowTab::Vseobecne, 1, "Název stanice"),
      Text(Field::PIN, "PIN", &G::PIN, kPinLimit, kCounted).At(WindowTab::Vseobecne, 2, "PIN"),
      Text(Field::TCcentra, "TCcentra", &G::TCcentra, 0, kCounted)
          .At(WindowTab::Vseobecne, 3, "Telefonní číslo servisního centra"),  // stored as plain text
      Number(Field::DobaPlatnostiSMS, "DobaPlatnostiSMS", &G::DobaPlatnostiSMS, kSmsValidityLimit)
          .At(WindowTab::SmsZpravy, 6, "Doba platnosti SMS zprávy"),
      Flag(Field::OdpovidatT0, "OdpovidatT0", &G::OdpovidatT0)
          .At(WindowTab::SmsZpravy, 2, "Hlášení o stavu posílat i na telefonní číslo T1"),
      Flag(Field::PrepnoutNepovolPristup, "PrepnoutNepovolPristup", &G::PrepnoutNepovolPristup)
          .At(WindowTab::SmsZpravy, 3, "Hlášení o nepovoleném přístupu posílat i na tel. číslo T1"),
      Flag(Field::PINAuth, "PINAuth", &G::PINAuth)
          .At(WindowTab::SmsZpravy, 1, "Autorizace pomocí zadání PINu v příkazové zprávě"),
      Flag(Field::NotAuthorized, "NotAuthorized", &G::NotAuthorized)
          .At(WindowTab::SmsZpravy, 4, "Posílat hlášení, že není povolen přístup"),
      Text(Field::rtNotAuthorized, "rtNotAuthorized", &G::rtNotAuthorized, kTextLimit, kCounted)
          .At(WindowTab::SmsZpravy, 5, "Text hlášení o nepovolení přístupu"),
      Flag(Field::PowerReport, "PowerReport", &G::PowerReport)
          .At(WindowTab::SmsZpravy, 9, "Zapnutí/Vypnutí síťového napájení: posílat hlášení o zapnutí/vypnutí"),
      Text(Field::rtPowerUp, "rtPowerUp", &G::rtPowerUp, kTextLimit, kCounted)
          .At(WindowTab::SmsZpravy, 10, "Zapnutí/Vypnutí síťového napájení: Text hlášení při zapnutí"),
      Text(Field::rtPowerDown, "rtPowerDown", &G::rtPowerDown, kTextLimit, kCounted)
          .At(WindowTab::SmsZpravy, 11, "Zapnutí/Vypnutí síťového napájení: Text hlášení při vypnutí"),
      Flag(Field::SwitchReport, "SwitchReport", &G::SwitchReport)
          .At(WindowTab::SmsZpravy, 12, "Zapnutí/Vypnutí zařízení: posílat hlášení o zapnutí/vypnutí"),
      Text(Field::rtSwitchOn, "rtSwitchOn", &G::rtSwitchOn, kTextLimit, kCounted)
          .At(WindowTab::SmsZpravy, 13, "Zapnutí/Vypnutí zařízení: Text hlášení při zapnutí"),
      Text(Field::rtSwitchOff, "rtSwitchOff", &G::rtSwitchOff, kTextLimit, kCounted)
          .At(WindowTab::SmsZpravy, 14, "Zapnutí/Vypnutí zařízení: Text hlášení při vypnutí"),
      Flag(Field::Batt, "Batt", &G::Batt).At(WindowTab::SmsZpravy, 7, "při poklesu napětí pod CL1 vypnout zařízení"),
      // The battery-low text is the battery row's CL1-down text; both are counted.
      RowText(Field::rtBattLow, "rtBattLow", &A::AINCL1Dn, kBatteryRow, kTextLimit, kCounted)
          .At(WindowTab::SmsZpravy, 8, "Text hlášení při poklesu napětí"),
      Flag(Field::EnablePS, "EnablePS", &G::EnablePS).At(WindowTab::Vseobecne, 4, "Povolit šetřící režim"),
      Flag(Field::SuperPS, "SuperPS", &G::SuperPS).At(WindowTab::Vseobecne, 9, "Super šetřící režim"),
      Flag(Field::PSOutOff, "PSOutOff", &G::PSOutOff)
          .At(WindowTab::Vseobecne, 10, "Při vypnutém modemu vypnout výstupy"),
      Number(Field::PSOnH, "PSOnH", &G::PSOnH, kPowerSaveLimit).At(WindowTab::Vseobecne, 5, "Doba zapnutého modemu h"),
      Number(Field::PSOnM, "PSOnM", &G::PSOnM, kPowerSaveLimit).At(WindowTab::Vseobecne, 6, "Doba zapnutého modemu m"),
      Number(Field::PSOffH, "PSOffH", &G::PSOffH, kPowerSaveLimit)
          .At(WindowTab::Vseobecne, 7, "Doba vypnutého modemu h"),
      Number(Field::PSOffM, "PSOffM", &G::PSOffM, kPowerSaveLimit)
          .At(WindowTab::Vseobecne, 8, "Doba vypnutého modemu m"),
      Text(Field::TC, "TC", &P::TC, kPhoneLimit, kCounted, TextForm::Phone)
          .At(WindowTab::TelCisla, 1, "Telefonní číslo"),
      Flag(Field::TCPrijem, "TCPrijem", &P::TCPrijem).At(WindowTab::TelCisla, 2, "Přijímat příkazy"),
      Flag(Field::TCUdalost, "TCUdalost", &P::TCUdalost).At(WindowTab::TelCisla, 3, "Odesílat zprávy o událostech"),
      Text(Field::INPNazev, "INPNazev", &I::INPNazev, kTextLimit, kCounted).At(WindowTab::DigVstupy, 1, "Název"),
      Text(Field::INPZap, "INPZap", &I::INPZap, kTextLimit, kCounted)
          .At(WindowTab::DigVstupy, 2, "Název stavu zapnuto (1)"),
      Text(Field::INPVyp, "INPVyp", &I::INPVyp, kTextLimit, kCounted)
          .At(WindowTab::DigVstupy, 3, "Název stavu vypnuto (0)"),
      Text(Field::INPLH, "INPLH", &I::INPLH, kTextLimit, kCounted).At(WindowTab::DigVstupy, 4, "Název přechodu 0->1"),
      Text(Field::INPHL, "INPHL", &I::INPHL, kTextLimit, kCounted).At(WindowTab::DigVstupy, 5, "Název přechodu 1->0"),
      Flag(Field::INPLHEvent, "INPLHEvent", &I::INPLHEvent)
          .At(WindowTab::DigVstupy, 6, "Poslat zprávu při změně stavu 0->1"),
      Flag(Field::INPHLEvent, "INPHLEvent", &I::INPHLEvent)
          .At(WindowTab::DigVstupy, 7, "Poslat zprávu při změně stavu 1->0"),
      Flag(Field::INPNeg, "INPNeg", &I::INPNeg)
          .At(WindowTab::DigVstupy, 8, "Negace vstupu (neguje se ihned po vzorkování - teprve poté se analyzuje)"),
      Flag(Field::INPZpr, "INPZpr", &I::INPZpr).At(WindowTab::DigVstupy, 9, "Uvádět tento vstup ve zprávě o stavu"),
      Flag(Field::MaskDInLHAlarm, "MaskDInLHAlarm", &I::MaskDInLHAlarm)
          .At(WindowTab::DigVstupy, 10, "Změna stavu 0->1: odeslat ihned"),
      Flag(Field::MaskDInHLAlarm, "MaskDInHLAlarm", &I::MaskDInHLAlarm)
          .At(WindowTab::DigVstupy, 11, "Změna stavu 1->0: odeslat ihned"),
      Text(Field::OUTNazev, "OUTNazev", &O::OUTNazev, kTextLimit, kCounted).At(WindowTab::DigVystupy, 1, "Název"),
      Text(Field::OUTZap, "OUTZap", &O::OUTZap, kTextLimit, kCounted)
          .At(WindowTab::DigVystupy, 2, "Název stavu zapnuto (1)"),
      Text(Field::OUTVyp, "OUTVyp", &O::OUTVyp, kTextLimit, kCounted)
          .At(WindowTab::DigVystupy, 3, "Název stavu vypnuto (0)"),
      Text(Field::OUTimpuls, "OUTimpuls", &O::OUTimpuls, kTextLimit, kCounted)
          .At(WindowTab::DigVystupy, 4, "Příkaz pro vyslání impulsu"),
      Number(Field::OUTimpulsLEN, "OUTimpulsLEN", &O::OUTimpulsLEN, kPulseLengthLimit)
          .At(WindowTab::DigVystupy, 5, "Délka jednoho impulsu v sekundách"),
      Flag(Field::OUTNeg, "OUTNeg", &O::OUTNeg).At(WindowTab::DigVystupy, 6, "Negace výstupu"),
      Flag(Field::OUTZpr, "OUTZpr", &O::OUTZpr).At(WindowTab::DigVystupy, 7, "Uvádět tento vstup ve zprávě o stavu"),
      Text(Field::AINNazev, "AINNazev", &A::AINNazev, kTextLimit, kCounted).At(WindowTab::Analog14, 1, "Název"),
      Text(Field::AINStateL, "AINStateL", &A::AINStateL, kTextLimit, kCounted)
          .At(WindowTab::Analog14, 2, "LOW (nízká)"),
      Text(Field::AINStateM, "AINStateM", &A::AINStateM, kTextLimit, kCounted)
          .At(WindowTab::Analog14, 3, "MEDIUM (střední)"),
      Text(Field::AINStateH, "AINStateH", &A::AINStateH, kTextLimit, kCounted)
          .At(WindowTab::Analog14, 4, "HIGH (vysoká)"),
      Number(Field::AINCL1Level, "AINCL1Level", &A::AINCL1Level, kLevelLimit).At(WindowTab::Analog14, 5, "úroveň CL1"),
      Number(Field::AINHCL1Level, "AINHCL1Level", &A::AINHCL1Level, kLevelLimit)
          .At(WindowTab::Analog14, 6, "hyster. CL1"),
      Number(Field::AINCL2Level, "AINCL2Level", &A::AINCL2Level, kLevelLimit).At(WindowTab::Analog14, 7, "úroveň CL2"),
      Number(Field::AINHCL2Level, "AINHCL2Level", &A::AINHCL2Level, kLevelLimit)
          .At(WindowTab::Analog14, 8, "hyster. CL2"),
      Text(Field::AINCL1Up, "AINCL1Up", &A::AINCL1Up, kTextLimit, kCounted)
          .At(WindowTab::Analog14, 9, "Text hlášení při přechodu nahoru přes CL1"),
      Text(Field::AINCL1Dn, "AINCL1Dn", &A::AINCL1Dn, kTextLimit, kCounted)
          .At(WindowTab::Analog14, 10, "Text hlášení při přechodu dolu přes CL1"),
      Text(Field::AINCL2Up, "AINCL2Up", &A::AINCL2Up, kTextLimit, kCounted)
          .At(WindowTab::Analog14, 11, "Text hlášení při přechodu nahoru přes CL2"),
      Text(Field::AINCL2Dn, "AINCL2Dn", &A::AINCL2Dn, kTextLimit, kCounted)
          .At(WindowTab::Analog14, 12, "Text hlášení při přechodu dolu přes CL2"),
      Flag(Field::AINCL1UpEvent, "AINCL1UpEvent", &A::AINCL1UpEvent)
          .At(WindowTab::Analog14, 13, "Hlásit přechod nahoru přes CL1"),
      Flag(Field::AINCL1DnEvent, "AINCL1DnEvent", &A::AINCL1DnEvent)
          .At(WindowTab::Analog14, 14, "Hlásit přechod dolu přes CL1"),
      Flag(Field::AINCL2UpEvent, "AINCL2UpEvent", &A::AINCL2UpEvent)
          .At(WindowTab::Analog14, 15, "Hlásit přechod nahoru přes CL2"),
      Flag(Field::AINCL2DnEvent, "AINCL2DnEvent", &A::AINCL2DnEvent)
          .At(WindowTab::Analog14, 16, "Hlásit přechod dolu přes CL2"),
      Flag(Field::AINNeg, "AINNeg", &A::AINNeg)
          .At(WindowTab::Analog14, 17, "Negace vstupu (neguje se ihned po vzorkování)"),
      Flag(Field::AINZpr, "AINZpr", &A::AINZpr).At(WindowTab::Analog14, 19, "Uvádět ve zprávě o stavu jméno stavu"),
      Flag(Field::AINPrc, "AINPrc", &A::AINPrc).At(WindowTab::Analog14, 18, "Uvádět ve zprávě o stavu hodnotu"),
      // The program's own settings: never in the unit, in a saved file or
      // in a comparison of two configurations.
      Text(Field::Port, "Port", &S::Port, 0, kNotCounted).BesideTabs("Sériový port"),
      Flag(Field::CheckWrite, "CheckWrite", &S::CheckWrite).BesideTabs("Kontrolovat zápis do EEPROM"),
      Flag(Field::FullRead, "FullRead", &S::FullRead).BesideTabs("Načíst celou paměť EEPROM"),
      Flag(Field::Backup, "Backup", &S::Backup).BesideTabs("Zálohovat před zápisem"),
      Flag(Field::FullWrite, "FullWrite", &S::FullWrite).BesideTabs("Zapisovat celou konfiguraci"),
      Text(Field::UTO, "UTO", &S::UTO, kUtoLimit, kNotCounted).At(WindowTab::TelCisla, 5, "UTO"),
      Flag(Field::UTOEnable, "UTOEnable", &S::UTOEnable)
          .At(WindowTab::TelCisla, 4, "Automaticky vkládat před tel. číslo UTO"),
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

// Every field has a caption and a place in the window: a tab and a place there
// no other field of the tab takes, or, for the program settings only, the
// panels beside the tabs.
constexpr bool EveryFieldIsPlaced() {
  for (const FieldInfo& f : kFields) {
    if (f.caption == nullptr || f.caption[0] == '\0') return false;
    if (f.tab.has_value() != (f.order > 0)) return false;
    if (!f.tab && f.family != Family::Program) return false;
    for (const FieldInfo& g : kFields) {
      if (g.field != f.field && f.tab && g.tab == f.tab && g.order == f.order) return false;
    }
  }
  return true;
}
static_assert(EveryFieldIsPlaced(), "every field needs a caption, and a tab and a place of its own there");

}  // namespace field_table

constexpr const FieldInfo& InfoOf(Field f) { return kFields[static_cast<std::size_t>(f)]; }
std::optional<Field> FieldByName(std::string_view name);

// Rows a field of the family has: kRows for the row families, 1 otherwise.
constexpr int RowCount(Family family) {
  return family == Family::General || family == Family::Program ? 1 : kRows;
}
// The phone, input, output and analog rows: each field there has one value per row.
constexpr bool FamilyHasRows(Family family) { return RowCount(family) > 1; }

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

// The tab that shows a field of a row: the field's tab, and for the analog
// rows the tab of the row (A5..A7 and BAT have their own); none for the
// program settings beside the tabs.
constexpr std::optional<WindowTab> WindowTabOf(FieldRef f) {
  const FieldInfo& info = InfoOf(f.field);
  if (info.family == Family::Analog) return AnalogTabOf(f.row);
  return info.tab;
}

// True for the row of a field that a general field also names (the battery
// row's CL1-down text, which is rtBattLow): lists of every field and row
// name it once, as the general field.
bool IsNamedAsGeneralField(FieldRef f);

// Row labels as the windows and messages show them: "T1", "I1", "O1", "A1".."A7", "BAT".
std::string RowLabel(Family family, int row);

// "INPNazev[0]" for row fields, "PIN" for general ones.
std::string FieldDisplayName(FieldRef f);

}  // namespace vexa
