#include "workspace/fields.h"

#include <array>

namespace vexa {
namespace {

constexpr FieldKind T = FieldKind::Text;
constexpr FieldKind F = FieldKind::Flag;

// In the order of the Field enumeration.
constexpr std::array<FieldInfo, kFieldCount> kFields{{
    {Field::JmenoStanice, "JmenoStanice", Family::General, T, kTextLimit, true},
    {Field::PIN, "PIN", Family::General, T, kPinLimit, true},
    {Field::TCcentra, "TCcentra", Family::General, T, 0, true},
    {Field::DobaPlatnostiSMS, "DobaPlatnostiSMS", Family::General, T, kSmsValidityLimit, false},
    {Field::OdpovidatT0, "OdpovidatT0", Family::General, F, 0, false},
    {Field::PrepnoutNepovolPristup, "PrepnoutNepovolPristup", Family::General, F, 0, false},
    {Field::PINAuth, "PINAuth", Family::General, F, 0, false},
    {Field::NotAuthorized, "NotAuthorized", Family::General, F, 0, false},
    {Field::rtNotAuthorized, "rtNotAuthorized", Family::General, T, kTextLimit, true},
    {Field::PowerReport, "PowerReport", Family::General, F, 0, false},
    {Field::rtPowerUp, "rtPowerUp", Family::General, T, kTextLimit, true},
    {Field::rtPowerDown, "rtPowerDown", Family::General, T, kTextLimit, true},
    {Field::SwitchReport, "SwitchReport", Family::General, F, 0, false},
    {Field::rtSwitchOn, "rtSwitchOn", Family::General, T, kTextLimit, true},
    {Field::rtSwitchOff, "rtSwitchOff", Family::General, T, kTextLimit, true},
    {Field::Batt, "Batt", Family::General, F, 0, false},
    {Field::rtBattLow, "rtBattLow", Family::General, T, kTextLimit, true},
    {Field::EnablePS, "EnablePS", Family::General, F, 0, false},
    {Field::SuperPS, "SuperPS", Family::General, F, 0, false},
    {Field::PSOutOff, "PSOutOff", Family::General, F, 0, false},
    {Field::PSOnH, "PSOnH", Family::General, T, kPowerSaveLimit, false},
    {Field::PSOnM, "PSOnM", Family::General, T, kPowerSaveLimit, false},
    {Field::PSOffH, "PSOffH", Family::General, T, kPowerSaveLimit, false},
    {Field::PSOffM, "PSOffM", Family::General, T, kPowerSaveLimit, false},
    {Field::TC, "TC", Family::Phone, T, kPhoneLimit, true},
    {Field::TCPrijem, "TCPrijem", Family::Phone, F, 0, false},
    {Field::TCUdalost, "TCUdalost", Family::Phone, F, 0, false},
    {Field::INPNazev, "INPNazev", Family::Input, T, kTextLimit, true},
    {Field::INPZap, "INPZap", Family::Input, T, kTextLimit, true},
    {Field::INPVyp, "INPVyp", Family::Input, T, kTextLimit, true},
    {Field::INPLH, "INPLH", Family::Input, T, kTextLimit, true},
    {Field::INPHL, "INPHL", Family::Input, T, kTextLimit, true},
    {Field::INPLHEvent, "INPLHEvent", Family::Input, F, 0, false},
    {Field::INPHLEvent, "INPHLEvent", Family::Input, F, 0, false},
    {Field::INPNeg, "INPNeg", Family::Input, F, 0, false},
    {Field::INPZpr, "INPZpr", Family::Input, F, 0, false},
    {Field::MaskDInLHAlarm, "MaskDInLHAlarm", Family::Input, F, 0, false},
    {Field::MaskDInHLAlarm, "MaskDInHLAlarm", Family::Input, F, 0, false},
    {Field::OUTNazev, "OUTNazev", Family::Output, T, kTextLimit, true},
    {Field::OUTZap, "OUTZap", Family::Output, T, kTextLimit, true},
    {Field::OUTVyp, "OUTVyp", Family::Output, T, kTextLimit, true},
    {Field::OUTimpuls, "OUTimpuls", Family::Output, T, kTextLimit, true},
    {Field::OUTimpulsLEN, "OUTimpulsLEN", Family::Output, T, kPulseLengthLimit, false},
    {Field::OUTNeg, "OUTNeg", Family::Output, F, 0, false},
    {Field::OUTZpr, "OUTZpr", Family::Output, F, 0, false},
    {Field::AINNazev, "AINNazev", Family::Analog, T, kTextLimit, true},
    {Field::AINStateL, "AINStateL", Family::Analog, T, kTextLimit, true},
    {Field::AINStateM, "AINStateM", Family::Analog, T, kTextLimit, true},
    {Field::AINStateH, "AINStateH", Family::Analog, T, kTextLimit, true},
    {Field::AINCL1Level, "AINCL1Level", Family::Analog, T, kLevelLimit, false},
    {Field::AINHCL1Level, "AINHCL1Level", Family::Analog, T, kLevelLimit, false},
    {Field::AINCL2Level, "AINCL2Level", Family::Analog, T, kLevelLimit, false},
    {Field::AINHCL2Level, "AINHCL2Level", Family::Analog, T, kLevelLimit, false},
    {Field::AINCL1Up, "AINCL1Up", Family::Analog, T, kTextLimit, true},
    {Field::AINCL1Dn, "AINCL1Dn", Family::Analog, T, kTextLimit, true},
    {Field::AINCL2Up, "AINCL2Up", Family::Analog, T, kTextLimit, true},
    {Field::AINCL2Dn, "AINCL2Dn", Family::Analog, T, kTextLimit, true},
    {Field::AINCL1UpEvent, "AINCL1UpEvent", Family::Analog, F, 0, false},
    {Field::AINCL1DnEvent, "AINCL1DnEvent", Family::Analog, F, 0, false},
    {Field::AINCL2UpEvent, "AINCL2UpEvent", Family::Analog, F, 0, false},
    {Field::AINCL2DnEvent, "AINCL2DnEvent", Family::Analog, F, 0, false},
    {Field::AINNeg, "AINNeg", Family::Analog, F, 0, false},
    {Field::AINZpr, "AINZpr", Family::Analog, F, 0, false},
    {Field::AINPrc, "AINPrc", Family::Analog, F, 0, false},
    {Field::Port, "Port", Family::Program, T, 0, false},
    {Field::CheckWrite, "CheckWrite", Family::Program, F, 0, false},
    {Field::UTO, "UTO", Family::Program, T, kUtoLimit, false},
    {Field::UTOEnable, "UTOEnable", Family::Program, F, 0, false},
}};

int ClampRow(int row) { return row < 0 ? 0 : (row >= kRows ? kRows - 1 : row); }

}  // namespace

const FieldInfo& InfoOf(Field f) { return kFields[static_cast<std::size_t>(f)]; }

std::optional<Field> FieldByName(std::string_view name) {
  for (const auto& info : kFields) {
    if (name == info.name) return info.field;
  }
  return std::nullopt;
}

std::string* TextOf(DeviceConfig& c, ProgramSettings& s, FieldRef f) {
  auto& g = c.general;
  const int r = ClampRow(f.row);
  auto& p = c.phones[r];
  auto& i = c.inputs[r];
  auto& o = c.outputs[r];
  auto& a = c.analogs[r];
  switch (f.field) {
    case Field::JmenoStanice: return &g.JmenoStanice;
    case Field::PIN: return &g.PIN;
    case Field::TCcentra: return &g.TCcentra;
    case Field::DobaPlatnostiSMS: return &g.DobaPlatnostiSMS;
    case Field::rtNotAuthorized: return &g.rtNotAuthorized;
    case Field::rtPowerUp: return &g.rtPowerUp;
    case Field::rtPowerDown: return &g.rtPowerDown;
    case Field::rtSwitchOn: return &g.rtSwitchOn;
    case Field::rtSwitchOff: return &g.rtSwitchOff;
    case Field::rtBattLow: return &c.rtBattLow();
    case Field::PSOnH: return &g.PSOnH;
    case Field::PSOnM: return &g.PSOnM;
    case Field::PSOffH: return &g.PSOffH;
    case Field::PSOffM: return &g.PSOffM;
    case Field::TC: return &p.TC;
    case Field::INPNazev: return &i.INPNazev;
    case Field::INPZap: return &i.INPZap;
    case Field::INPVyp: return &i.INPVyp;
    case Field::INPLH: return &i.INPLH;
    case Field::INPHL: return &i.INPHL;
    case Field::OUTNazev: return &o.OUTNazev;
    case Field::OUTZap: return &o.OUTZap;
    case Field::OUTVyp: return &o.OUTVyp;
    case Field::OUTimpuls: return &o.OUTimpuls;
    case Field::OUTimpulsLEN: return &o.OUTimpulsLEN;
    case Field::AINNazev: return &a.AINNazev;
    case Field::AINStateL: return &a.AINStateL;
    case Field::AINStateM: return &a.AINStateM;
    case Field::AINStateH: return &a.AINStateH;
    case Field::AINCL1Level: return &a.AINCL1Level;
    case Field::AINHCL1Level: return &a.AINHCL1Level;
    case Field::AINCL2Level: return &a.AINCL2Level;
    case Field::AINHCL2Level: return &a.AINHCL2Level;
    case Field::AINCL1Up: return &a.AINCL1Up;
    case Field::AINCL1Dn: return &a.AINCL1Dn;
    case Field::AINCL2Up: return &a.AINCL2Up;
    case Field::AINCL2Dn: return &a.AINCL2Dn;
    case Field::Port: return &s.Port;
    case Field::UTO: return &s.UTO;
    default: return nullptr;
  }
}

const std::string* TextOf(const DeviceConfig& c, const ProgramSettings& s, FieldRef f) {
  return TextOf(const_cast<DeviceConfig&>(c), const_cast<ProgramSettings&>(s), f);
}

bool* FlagOf(DeviceConfig& c, ProgramSettings& s, FieldRef f) {
  auto& g = c.general;
  const int r = ClampRow(f.row);
  auto& p = c.phones[r];
  auto& i = c.inputs[r];
  auto& o = c.outputs[r];
  auto& a = c.analogs[r];
  switch (f.field) {
    case Field::OdpovidatT0: return &g.OdpovidatT0;
    case Field::PrepnoutNepovolPristup: return &g.PrepnoutNepovolPristup;
    case Field::PINAuth: return &g.PINAuth;
    case Field::NotAuthorized: return &g.NotAuthorized;
    case Field::PowerReport: return &g.PowerReport;
    case Field::SwitchReport: return &g.SwitchReport;
    case Field::Batt: return &g.Batt;
    case Field::EnablePS: return &g.EnablePS;
    case Field::SuperPS: return &g.SuperPS;
    case Field::PSOutOff: return &g.PSOutOff;
    case Field::TCPrijem: return &p.TCPrijem;
    case Field::TCUdalost: return &p.TCUdalost;
    case Field::INPLHEvent: return &i.INPLHEvent;
    case Field::INPHLEvent: return &i.INPHLEvent;
    case Field::INPNeg: return &i.INPNeg;
    case Field::INPZpr: return &i.INPZpr;
    case Field::MaskDInLHAlarm: return &i.MaskDInLHAlarm;
    case Field::MaskDInHLAlarm: return &i.MaskDInHLAlarm;
    case Field::OUTNeg: return &o.OUTNeg;
    case Field::OUTZpr: return &o.OUTZpr;
    case Field::AINCL1UpEvent: return &a.AINCL1UpEvent;
    case Field::AINCL1DnEvent: return &a.AINCL1DnEvent;
    case Field::AINCL2UpEvent: return &a.AINCL2UpEvent;
    case Field::AINCL2DnEvent: return &a.AINCL2DnEvent;
    case Field::AINNeg: return &a.AINNeg;
    case Field::AINZpr: return &a.AINZpr;
    case Field::AINPrc: return &a.AINPrc;
    case Field::CheckWrite: return &s.CheckWrite;
    case Field::UTOEnable: return &s.UTOEnable;
    default: return nullptr;
  }
}

const bool* FlagOf(const DeviceConfig& c, const ProgramSettings& s, FieldRef f) {
  return FlagOf(const_cast<DeviceConfig&>(c), const_cast<ProgramSettings&>(s), f);
}

std::string RowLabel(Family family, int row) {
  const std::string n = std::to_string(row + 1);
  switch (family) {
    case Family::Phone: return "T" + n;
    case Family::Input: return "I" + n;
    case Family::Output: return "O" + n;
    case Family::Analog: return row == kBatteryRow ? std::string("BAT") : "A" + n;
    default: return {};
  }
}

std::string FieldDisplayName(FieldRef f) {
  const FieldInfo& info = InfoOf(f.field);
  if (info.family == Family::General || info.family == Family::Program) return info.name;
  return std::string(info.name) + "[" + std::to_string(f.row) + "]";
}

}  // namespace vexa
