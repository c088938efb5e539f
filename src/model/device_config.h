// The configuration of one VEXA unit, as the technician edits it.
//
// Texts are held as UTF-8 exactly as typed (or as last rewritten by the field
// rules); numeric fields are held as the decimal text the user sees. A text's
// length is counted in characters, which is the number of code page 1250 bytes
// it takes in the unit.
//
// Every editable member has its one line in the field table (fields.h), which
// gives it its name, limit and form; the accessors by name, the JSON
// interchange and the EEPROM usage accounting follow that table.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vexa {

inline constexpr int kRows = 8;
inline constexpr int kBatteryRow = 7;  // analog row shown as "BAT"

// Most characters a field accepts while typing.
inline constexpr int kTextLimit = 100;
inline constexpr int kPinLimit = 8;
inline constexpr int kPhoneLimit = 50;
inline constexpr int kSmsValidityLimit = 2;
inline constexpr int kPowerSaveLimit = 5;
inline constexpr int kPulseLengthLimit = 5;
inline constexpr int kLevelLimit = 4;
inline constexpr int kUtoLimit = 4;

struct GeneralSettings {
  std::string JmenoStanice;
  std::string PIN;
  std::string TCcentra;
  std::string DobaPlatnostiSMS = "3";
  bool OdpovidatT0 = false;
  bool PrepnoutNepovolPristup = false;
  bool PINAuth = false;
  bool NotAuthorized = true;
  std::string rtNotAuthorized;
  bool PowerReport = false;
  std::string rtPowerUp;
  std::string rtPowerDown;
  bool SwitchReport = false;
  std::string rtSwitchOn;
  std::string rtSwitchOff;
  bool Batt = false;
  // rtBattLow has no storage of its own: it is AINCL1Dn of the battery row
  // (DeviceConfig::rtBattLow), so the two can never differ.
  bool EnablePS = false;
  bool SuperPS = false;
  bool PSOutOff = false;
  std::string PSOnH = "1";
  std::string PSOnM = "0";
  std::string PSOffH = "1";
  std::string PSOffM = "0";

  bool operator==(const GeneralSettings&) const = default;
};

struct PhoneEntry {
  std::string TC;
  bool TCPrijem = false;
  bool TCUdalost = false;

  bool operator==(const PhoneEntry&) const = default;
};

struct DigitalInput {
  std::string INPNazev;
  std::string INPZap;
  std::string INPVyp;
  std::string INPLH;
  std::string INPHL;
  bool INPLHEvent = false;
  bool INPHLEvent = false;
  bool INPNeg = false;
  bool INPZpr = false;
  bool MaskDInLHAlarm = false;
  bool MaskDInHLAlarm = false;

  bool operator==(const DigitalInput&) const = default;
};

enum class OutputFunction { Standard, ModemState, PowerSaveState };

struct DigitalOutput {
  std::string OUTNazev;
  std::string OUTZap;
  std::string OUTVyp;
  std::string OUTimpuls;
  std::string OUTimpulsLEN = "2";
  bool OUTNeg = false;
  bool OUTZpr = false;
  // MaskDOutFnc lives in DeviceConfig::outputFunctionByte.

  bool operator==(const DigitalOutput&) const = default;
};

// Bits of an analog row's send-at-once byte; bits 4-7 are carried unchanged.
inline constexpr std::uint8_t kBitCL1Up = 0x01;
inline constexpr std::uint8_t kBitCL1Down = 0x02;
inline constexpr std::uint8_t kBitCL2Up = 0x04;
inline constexpr std::uint8_t kBitCL2Down = 0x08;

struct AnalogInput {
  std::string AINNazev;
  std::string AINStateL;
  std::string AINStateM;
  std::string AINStateH;
  std::string AINCL1Level;  // set from the channel's scale at start-up
  std::string AINHCL1Level = "0";
  std::string AINCL2Level;  // set from the channel's scale at start-up
  std::string AINHCL2Level = "0";
  std::string AINCL1Up;
  std::string AINCL1Dn;
  std::string AINCL2Up;
  std::string AINCL2Dn;
  bool AINCL1UpEvent = false;
  bool AINCL1DnEvent = false;
  bool AINCL2UpEvent = false;
  bool AINCL2DnEvent = false;
  bool AINNeg = false;
  bool AINZpr = false;
  bool AINPrc = false;
  std::uint8_t sendAtOnceByte = 0;  // CL1Up, CL1Down, CL2Up, CL2Down in bits 0-3

  bool CL1Up() const { return (sendAtOnceByte & kBitCL1Up) != 0; }
  bool CL1Down() const { return (sendAtOnceByte & kBitCL1Down) != 0; }
  bool CL2Up() const { return (sendAtOnceByte & kBitCL2Up) != 0; }
  bool CL2Down() const { return (sendAtOnceByte & kBitCL2Down) != 0; }
  void SetSendAtOnce(std::uint8_t bit, bool on) {
    sendAtOnceByte = static_cast<std::uint8_t>(on ? (sendAtOnceByte | bit) : (sendAtOnceByte & ~bit));
  }

  bool operator==(const AnalogInput&) const = default;
};

// Bits of the output-function byte; bits 2-7 are carried unchanged.
inline constexpr std::uint8_t kBitOut0Modem = 0x01;
inline constexpr std::uint8_t kBitOut1PowerSave = 0x02;

struct DeviceConfig {
  GeneralSettings general;
  std::array<PhoneEntry, kRows> phones{};
  std::array<DigitalInput, kRows> inputs{};
  std::array<DigitalOutput, kRows> outputs{};
  std::array<AnalogInput, kRows> analogs{};
  std::uint8_t outputFunctionByte = 0;

  // The battery-low text is the CL1-down text of the battery row.
  std::string& rtBattLow() { return analogs[kBatteryRow].AINCL1Dn; }
  const std::string& rtBattLow() const { return analogs[kBatteryRow].AINCL1Dn; }

  // Only output row 0 can indicate the modem state and only row 1 the
  // power-save state; every other row is always Standard.
  OutputFunction MaskDOutFnc(int row) const {
    if (row == 0 && (outputFunctionByte & kBitOut0Modem)) return OutputFunction::ModemState;
    if (row == 1 && (outputFunctionByte & kBitOut1PowerSave)) return OutputFunction::PowerSaveState;
    return OutputFunction::Standard;
  }
  // Changes only the row's own bit (row 0: bit 0, row 1: bit 1); other rows and
  // other bits are left as they are.
  void SetMaskDOutFnc(int row, OutputFunction f) {
    if (row == 0) {
      outputFunctionByte = static_cast<std::uint8_t>(
          f == OutputFunction::ModemState ? (outputFunctionByte | kBitOut0Modem) : (outputFunctionByte & ~kBitOut0Modem));
    } else if (row == 1) {
      outputFunctionByte = static_cast<std::uint8_t>(f == OutputFunction::PowerSaveState
                                                         ? (outputFunctionByte | kBitOut1PowerSave)
                                                         : (outputFunctionByte & ~kBitOut1PowerSave));
    }
  }

  bool operator==(const DeviceConfig&) const = default;
};

// Settings of the PC program; never written into the unit, saved or printed.
struct ProgramSettings {
  std::string Port = "COM 1";
  bool CheckWrite = true;
  std::string UTO = "+420";
  bool UTOEnable = true;
  // Read every block up to the memory size instead of only the configuration's.
  bool FullRead = false;
  // Keep the unit's configuration as a file before every write.
  bool Backup = true;
  // Write every block of the configuration, not only those the unit lacks.
  bool FullWrite = false;
};

struct AnalogScale {
  double Min = 0;
  double Max = 100;
  std::int16_t Decimals = 1;
  std::string Unit;  // UTF-8: "%", "°C" or "V"
};

}  // namespace vexa
