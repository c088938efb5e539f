#include "codec/decoder.h"

#include <string>

#include "codec/cp1250.h"
#include "codec/header.h"
#include "codec/layout.h"
#include "codec/text_field.h"
#include "codec/values.h"
#include "texts/texts.h"

namespace vexa {
namespace {

using namespace layout;

template <class Row, std::size_t N>
void SpreadMask(std::array<Row, N>& rows, bool Row::*flag, std::uint8_t mask) {
  for (int row = 0; row < kRows; ++row) rows[row].*flag = HasBit(mask, RowBit(row));
}

// Tenths of a second as the user sees them: 25 -> "2.5", 10 -> "1".
std::string TenthsText(unsigned tenths, char separator) {
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10 != 0) {
    text += separator;
    text += static_cast<char>('0' + tenths % 10);
  }
  return text;
}

class Decoder {
 public:
  Decoder(const EepromImage& im, const std::array<AnalogScale, kRows>& s, char sep, DeviceConfig& c)
      : image_(im), scales_(s), separator_(sep), config_(c) {}

  bool Run() { return ReadFixedSettings() && ReadTextArea(); }

  DecodeError error;

 private:
  bool Fail(std::optional<FieldRef> field, std::string cause, long end) {
    error = {field, std::move(cause), end};
    return false;
  }
  // The string at `pos_` could not be read: it starts past the image or has
  // no terminator before its end. `place` names a string no field holds.
  bool TextFailed(std::optional<FieldRef> field, const std::string& place = {}) {
    const auto cause =
        texts::DecodeAt(pos_ >= kImageSize ? texts::kDecodeTextBeyondEnd : texts::kDecodeTextPastEnd, pos_);
    return Fail(field, place.empty() ? cause : place + ": " + cause, kImageSize);
  }
  // The phone entry at `pos_` could not be read: its count is not
  // hexadecimal, or it runs past the image.
  bool PhoneFailed(FieldRef ref) {
    const auto high = image_.ReadByte(pos_);
    const auto low = image_.ReadByte(pos_ + 1);
    if (high && low && !HexPairToByte(static_cast<char>(*high), static_cast<char>(*low)))
      return Fail(ref, texts::DecodeAt(texts::kDecodePhoneCount, pos_), pos_ + 2);
    return Fail(ref, texts::DecodeAt(texts::kDecodePhonePastEnd, pos_), kImageSize);
  }

  std::uint8_t Byte(long offset) const { return image_.ReadByte(offset).value_or(0); }
  long Read24(long offset) const { return Byte(offset) | (Byte(offset + 1) << 8) | (long{Byte(offset + 2)} << 16); }

  bool ReadFixedSettings() {
    GeneralSettings& g = config_.general;
    const std::uint8_t report = Byte(kReportFlags);
    g.NotAuthorized = HasBit(report, kBitNotAuthorized);
    g.PrepnoutNepovolPristup = HasBit(report, kBitPrepnoutNepovolPristup);
    g.OdpovidatT0 = HasBit(report, kBitOdpovidatT0);
    g.SwitchReport = HasBit(report, kBitSwitchReport);
    g.PowerReport = HasBit(report, kBitPowerReport);
    g.Batt = HasBit(report, kBitBatt);
    const std::uint8_t mode = Byte(kModeFlags);
    g.EnablePS = HasBit(mode, kBitEnablePS);
    g.SuperPS = HasBit(mode, kBitSuperPS);
    g.PSOutOff = HasBit(mode, kBitPSOutOff);
    g.PINAuth = HasBit(mode, kBitPINAuth);
    g.DobaPlatnostiSMS = std::to_string(int{Byte(kSmsValidity)} - kSmsValidityBase);

    for (const auto& m : kPhoneMasks) SpreadMask(config_.phones, m.flag, Byte(m.offset));
    for (const auto& m : kInputMasks) SpreadMask(config_.inputs, m.flag, Byte(m.offset));
    for (const auto& m : kOutputMasks) SpreadMask(config_.outputs, m.flag, Byte(m.offset));
    for (const auto& m : kAnalogMasks) SpreadMask(config_.analogs, m.flag, Byte(m.offset));

    for (int row = 0; row < kRows; ++row) {
      AnalogInput& a = config_.analogs[row];
      for (const auto& c : kAnalogCodes) {
        const std::uint8_t code = Byte(AnalogCodeOffset(c, row));
        const double value =
            c.kind == CodeKind::Level ? CodeToLevel(scales_[row], code) : CodeToHysteresis(scales_[row], code);
        a.*c.field = FormatNumber(value, separator_);
      }
      a.sendAtOnceByte = Byte(SendAtOnceOffset(row));
      config_.outputs[row].OUTimpulsLEN = TenthsText(Byte(PulseLengthOffset(row)), separator_);
    }
    config_.outputFunctionByte = Byte(kOutputFunction);

    const long on = Read24(kPowerSaveOn);
    const long off = Read24(kPowerSaveOff);
    g.PSOnH = std::to_string(PowerSaveHours(on));
    g.PSOnM = std::to_string(PowerSaveMinutes(on));
    g.PSOffH = std::to_string(PowerSaveHours(off));
    g.PSOffM = std::to_string(PowerSaveMinutes(off));
    return true;
  }

  // Positions `pos_` at the block whose pointer is in `slot`.
  bool Seek(long slot) {
    const auto pointer = image_.ReadWord(slot);
    if (!pointer) return Fail(std::nullopt, texts::DecodeNoPointer(slot), slot + 2);
    pos_ = *pointer;
    return true;
  }

  // Reads `member` of row `row` (of the general settings when Row is
  // GeneralSettings) into `field`; the field is named only on failure.
  template <class Row>
  bool Text(std::string& field, std::string Row::*member, int row) {
    std::string raw;
    if (!ReadImageString(image_, pos_, &raw)) return TextFailed(codec::TextFieldOf<Row>(member, row));
    field = Cp1250ToUtf8(raw);
    return true;
  }

  template <class Row, std::size_t N, std::size_t B>
  bool RowBlocks(std::array<Row, N>& rows, const std::array<RowTextBlock<Row>, B>& blocks) {
    for (const auto& b : blocks) {
      if (!Seek(b.slot)) return false;
      for (std::size_t i = 0; i < N; ++i) {
        if (!Text(rows[i].*b.field, b.field, static_cast<int>(i))) return false;
      }
    }
    return true;
  }

  bool ReadTextArea() {
    if (!RowBlocks(config_.inputs, kInputBlocks) || !RowBlocks(config_.outputs, kOutputBlocks) ||
        !RowBlocks(config_.analogs, kAnalogBlocks)) {
      return false;
    }
    if (!Seek(kSpareSlot)) return false;
    for (int i = 0; i < kSpareStrings; ++i) {
      if (!ReadImageString(image_, pos_, nullptr)) return TextFailed(std::nullopt, texts::DecodeSpareText(i + 1));
    }
    if (!Seek(kPhoneSlot)) return false;
    for (int row = 0; row < kRows; ++row) {
      PhoneEntry& p = config_.phones[static_cast<std::size_t>(row)];
      const FieldRef ref{Field::TC, row};
      const long at = pos_;
      std::string address;
      if (!ReadPhoneEntry(image_, pos_, &address)) return PhoneFailed(ref);
      if (address.empty()) {
        p.TC.clear();
        continue;
      }
      const auto number = DecodePhoneNumber(address);
      if (!number) return Fail(ref, texts::DecodeAt(texts::kDecodePhoneNumber, at), pos_);
      p.TC = Cp1250ToUtf8(*number);
    }
    if (!Seek(kGeneralSlot)) return false;
    for (auto text : kGeneralTexts) {
      if (!Text(config_.general.*text, text, 0)) return false;
    }
    return true;
  }

  const EepromImage& image_;
  const std::array<AnalogScale, kRows>& scales_;
  char separator_;
  DeviceConfig& config_;
  long pos_ = kTextArea;
};

}  // namespace

bool DecodeImage(const EepromImage& image, const std::array<AnalogScale, kRows>& scales, char decimalSeparator,
                 DeviceConfig& config, DecodeError* why) {
  DeviceConfig fresh = config;
  Decoder decoder(image, scales, decimalSeparator, fresh);
  if (!decoder.Run()) {
    if (why != nullptr) *why = decoder.error;
    return false;
  }
  config = std::move(fresh);
  return true;
}

std::string DescribeDecodeError(const DecodeError& e) {
  return (e.field ? FieldDisplayName(*e.field) + ": " + e.cause : e.cause) + ".";
}

}  // namespace vexa
