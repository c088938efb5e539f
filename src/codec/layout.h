// Byte layout of the unit's configuration EEPROM.
//
// Every offset, bit and pointer slot the encoder and decoder use is named
// here, in the order of the memory map, so the layout can be checked against
// the firmware's table line by line. Multi-byte numbers are little-endian.
//
//   0..48     header: pointer table, constant 64, magic 0x2582, checksum
//   49..127   untouched by the program (carried along by block transfers)
//   128..271  fixed settings (128..190 and 240..256 written)
//   272..     text area: 20 blocks of NUL-terminated strings, then FF FF
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/device_config.h"

namespace vexa::layout {

// ---- Header ---------------------------------------------------------------
inline constexpr long kPointerTable = 0;   // 21 words, one per text block
inline constexpr long kReservedSlot = 6;   // slot never written or read
inline constexpr long kConstantWord = 42;  // always holds kConstantValue
inline constexpr std::uint16_t kConstantValue = 64;
inline constexpr long kReservedWord = 44;  // never written or read
inline constexpr long kMagicWord = 46;     // ImageMagic, bytes 82 25
inline constexpr std::uint16_t kImageMagic = 0x2582;
inline constexpr long kChecksumByte = 48;      // HeaderChecksum of bytes 0..47
inline constexpr long kChecksummedBytes = 48;  // bytes 0..47 are summed
inline constexpr long kHeaderEnd = 49;         // first byte past the header

// ---- Fixed settings -------------------------------------------------------
inline constexpr long kFixedSettings = 128;

inline constexpr long kReportFlags = 128;
inline constexpr std::uint8_t kBitNotAuthorized = 0x01;  // only with rtNotAuthorized
inline constexpr std::uint8_t kBitPrepnoutNepovolPristup = 0x02;
inline constexpr std::uint8_t kBitOdpovidatT0 = 0x04;
inline constexpr std::uint8_t kBitSwitchReport = 0x08;  // only with rtSwitchOn/Off
inline constexpr std::uint8_t kBitPowerReport = 0x10;   // only with rtPowerUp/Down
inline constexpr std::uint8_t kBitBatt = 0x20;

inline constexpr long kModeFlags = 129;
inline constexpr std::uint8_t kBitEnablePS = 0x02;
inline constexpr std::uint8_t kBitSuperPS = 0x04;
inline constexpr std::uint8_t kBitPSOutOff = 0x08;
inline constexpr std::uint8_t kBitPINAuth = 0x80;

inline constexpr long kSmsValidity = 130;  // DobaPlatnostiSMS + 166
inline constexpr int kSmsValidityBase = 166;

// Per-row masks: bit i belongs to row index i.
template <class Row>
struct RowMask {
  long offset;
  bool Row::*flag;
};

inline constexpr std::array<RowMask<PhoneEntry>, 2> kPhoneMasks{{
    {131, &PhoneEntry::TCPrijem},
    {132, &PhoneEntry::TCUdalost},
}};
inline constexpr std::array<RowMask<DigitalInput>, 6> kInputMasks{{
    {133, &DigitalInput::INPZpr},
    {135, &DigitalInput::INPLHEvent},
    {137, &DigitalInput::INPHLEvent},
    {139, &DigitalInput::INPNeg},
    {240, &DigitalInput::MaskDInLHAlarm},
    {241, &DigitalInput::MaskDInHLAlarm},
}};
inline constexpr std::array<RowMask<DigitalOutput>, 2> kOutputMasks{{
    {141, &DigitalOutput::OUTZpr},
    {142, &DigitalOutput::OUTNeg},
}};
inline constexpr std::array<RowMask<AnalogInput>, 7> kAnalogMasks{{
    {144, &AnalogInput::AINZpr},
    {145, &AnalogInput::AINPrc},
    {146, &AnalogInput::AINCL1DnEvent},
    {147, &AnalogInput::AINCL1UpEvent},
    {148, &AnalogInput::AINCL2DnEvent},
    {149, &AnalogInput::AINCL2UpEvent},
    {182, &AnalogInput::AINNeg},
}};
// Written as 0 by the encoder, ignored by the decoder.
inline constexpr std::array<long, 5> kZeroBytes{134, 136, 138, 140, 143};

// Analog codes, one byte per analog row starting at the offset.
enum class CodeKind { Level, Hysteresis };
struct AnalogCode {
  long offset;
  std::string AnalogInput::*field;
  CodeKind kind;
};
inline constexpr std::array<AnalogCode, 4> kAnalogCodes{{
    {150, &AnalogInput::AINCL1Level, CodeKind::Level},
    {158, &AnalogInput::AINCL2Level, CodeKind::Level},
    {166, &AnalogInput::AINHCL1Level, CodeKind::Hysteresis},
    {174, &AnalogInput::AINHCL2Level, CodeKind::Hysteresis},
}};

inline constexpr long kPulseLength = 183;     // OUTimpulsLEN in tenths, rows 0..7
inline constexpr long kOutputFunction = 242;  // bit 0 row 0 modem, bit 1 row 1 power save
inline constexpr long kSendAtOnce = 243;      // one byte per analog row 0..7
inline constexpr long kPowerSaveOn = 251;     // 24-bit tenths of a second
inline constexpr long kPowerSaveOff = 254;    // 24-bit tenths of a second
inline constexpr long kTenthsPerMinute = 600;
inline constexpr long kFixedSettingsEnd = 257;  // first byte past what is read

// ---- Text area ------------------------------------------------------------
inline constexpr long kTextArea = 272;
inline constexpr std::uint16_t kEndMarker = 0xFFFF;

template <class Row>
struct RowTextBlock {
  long slot;
  std::string Row::*field;
};

// Blocks in the order they lie in the text area: inputs, outputs, analogs,
// the spare block, phone numbers, general texts.
inline constexpr std::array<RowTextBlock<DigitalInput>, 5> kInputBlocks{{
    {0, &DigitalInput::INPNazev},
    {2, &DigitalInput::INPZap},
    {4, &DigitalInput::INPVyp},
    {8, &DigitalInput::INPLH},
    {10, &DigitalInput::INPHL},
}};
inline constexpr std::array<RowTextBlock<DigitalOutput>, 4> kOutputBlocks{{
    {12, &DigitalOutput::OUTNazev},
    {14, &DigitalOutput::OUTZap},
    {16, &DigitalOutput::OUTVyp},
    {18, &DigitalOutput::OUTimpuls},
}};
// The crossing texts always lie in these slots, whatever AINNeg says.
inline constexpr std::array<RowTextBlock<AnalogInput>, 8> kAnalogBlocks{{
    {20, &AnalogInput::AINNazev},
    {22, &AnalogInput::AINStateL},
    {24, &AnalogInput::AINStateM},
    {26, &AnalogInput::AINStateH},
    {28, &AnalogInput::AINCL1Dn},
    {30, &AnalogInput::AINCL1Up},
    {32, &AnalogInput::AINCL2Dn},
    {34, &AnalogInput::AINCL2Up},
}};
inline constexpr long kSpareSlot = 36;  // two empty strings
inline constexpr int kSpareStrings = 2;
inline constexpr long kPhoneSlot = 40;    // TC of rows 0..7, address text
inline constexpr long kGeneralSlot = 38;  // the eight general texts, last block
inline constexpr std::array<std::string GeneralSettings::*, 8> kGeneralTexts{{
    &GeneralSettings::JmenoStanice,
    &GeneralSettings::PIN,
    &GeneralSettings::TCcentra,
    &GeneralSettings::rtNotAuthorized,
    &GeneralSettings::rtPowerUp,
    &GeneralSettings::rtPowerDown,
    &GeneralSettings::rtSwitchOn,
    &GeneralSettings::rtSwitchOff,
}};

// Every pointer slot in text-area order (slot 6 is not among them).
inline constexpr std::array<long, 20> kBlockOrder{0,  2,  4,  8,  10, 12, 14, 16, 18, 20,
                                                  22, 24, 26, 28, 30, 32, 34, 36, 40, 38};

// ---- One-line accessors ---------------------------------------------------
inline constexpr std::uint8_t RowBit(int row) { return static_cast<std::uint8_t>(1u << row); }
inline constexpr bool HasBit(std::uint8_t byte, std::uint8_t bit) { return (byte & bit) != 0; }
inline constexpr long PulseLengthOffset(int row) { return kPulseLength + row; }
inline constexpr long SendAtOnceOffset(int row) { return kSendAtOnce + row; }
inline constexpr long AnalogCodeOffset(const AnalogCode& c, int row) { return c.offset + row; }
inline constexpr long PowerSaveTenths(long hours, long minutes) { return (hours * 60 + minutes) * kTenthsPerMinute; }
inline constexpr long PowerSaveHours(long tenths) { return tenths / (60 * kTenthsPerMinute); }
inline constexpr long PowerSaveMinutes(long tenths) { return (tenths / kTenthsPerMinute) % 60; }

}  // namespace vexa::layout
