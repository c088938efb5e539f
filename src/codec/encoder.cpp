#include "codec/encoder.h"

#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

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
std::uint8_t MaskOf(const std::array<Row, N>& rows, bool Row::*flag) {
  std::uint8_t mask = 0;
  for (int row = 0; row < kRows; ++row) {
    if (rows[row].*flag) mask |= RowBit(row);
  }
  return mask;
}

// The SMS validity byte: the whole part of the text plus 166, when it fits.
std::optional<std::uint8_t> SmsValidityCode(std::string_view text) {
  const auto value = ParseNumber(text);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  const double code = std::trunc(*value) + kSmsValidityBase;
  if (code < 0 || code > 255) return std::nullopt;
  return static_cast<std::uint8_t>(code);
}

// A number typed by the user, cut and clamped as the unit stores it.
double Normalized(std::string_view text, double lower, double upper, int decimals) {
  return ParseNumber(NormalizeNumber(text, lower, upper, decimals, '.')).value_or(lower);
}

std::uint8_t PulseLengthCode(std::string_view text) {
  const long tenths = std::lround(Normalized(text, 0.1, 25.5, 1) * 10);
  return static_cast<std::uint8_t>(tenths < 1 ? 1 : tenths > 255 ? 255 : tenths);
}

long PowerSaveDuration(std::string_view hours, std::string_view minutes) {
  const long h = std::lround(Normalized(hours, 0, 465, 0));
  const long m = std::lround(Normalized(minutes, 0, 59, 0));
  return PowerSaveTenths(h, m);
}

bool Write24(EepromImage& image, long value, long offset) {
  return image.WriteByte(static_cast<std::uint8_t>(value & 0xFF), offset) &&
         image.WriteByte(static_cast<std::uint8_t>((value >> 8) & 0xFF), offset + 1) &&
         image.WriteByte(static_cast<std::uint8_t>((value >> 16) & 0xFF), offset + 2);
}

// The address text of a phone number, or "" for an entry stored empty. A
// number without digits ("+" alone) is stored empty: its address "0091" would
// be read back as a complete entry and put the following entries out of step.
// nullopt when the address would not be read back as one entry.
std::optional<std::string> PhoneAddress(const std::string& number) {
  const std::string_view digits =
      !number.empty() && number.front() == '+' ? std::string_view(number).substr(1) : std::string_view(number);
  if (digits.empty()) return std::string();
  // The number goes through the code page like every other text: a letter
  // the rules let through takes one byte, as the unit reads it back.
  const auto bytes = Utf8ToCp1250(number);
  if (!bytes) return std::nullopt;
  std::string address = EncodePhoneNumber(*bytes);
  if (address.size() < 2) return std::nullopt;
  const auto count = HexPairToByte(address[0], address[1]);
  if (!count) return std::nullopt;
  std::size_t expected = *count + (*count % 2u);
  if (expected != 0) expected += 2;
  if (address.size() != 2 + expected || address.find('\0') != std::string::npos) return std::nullopt;
  return address;
}

class Encoder {
 public:
  Encoder(const DeviceConfig& c, const std::array<AnalogScale, kRows>& s, EepromImage& im)
      : config_(c), scales_(s), image_(im) {}

  bool Run(long* usedLength) {
    if (!image_.WriteWord(kConstantValue, kConstantWord)) return false;
    if (!WriteFixedSettings()) return false;
    if (!WriteTextArea()) return false;
    if (!image_.WriteWord(kImageMagic, kMagicWord) || !image_.WriteWord(kEndMarker, pos_)) return Full();
    if (usedLength != nullptr) *usedLength = pos_ + 2;
    return image_.WriteByte(HeaderChecksum(image_), kChecksumByte);
  }

  EncodeError error;

 private:
  bool Fail(std::optional<FieldRef> field, std::string cause) {
    error = {field, std::move(cause)};
    return false;
  }
  bool Full() { return Fail(std::nullopt, texts::kEncodeTextsFull); }

  // Why a text could not be written: a NUL would end it early, a character
  // has no byte in the unit's code page, or it ran off the end. Looked up
  // only on failure.
  bool TextFailed(FieldRef field, const std::string& utf8) {
    if (utf8.find('\0') != std::string::npos) return Fail(field, texts::kEncodeNul);
    if (!Utf8ToCp1250(utf8)) {
      std::size_t count = 0;
      const std::string named = RefusedChars(utf8, Cp1250Characters(), &count);
      return Fail(field, (count == 1 ? texts::kEncodeUnstorableChar : texts::kEncodeUnstorableChars) + named);
    }
    return Fail(field, texts::kEncodeTextFull);
  }

  bool Put(std::uint8_t value, long offset) { return image_.WriteByte(value, offset); }

  bool WriteFixedSettings() {
    const GeneralSettings& g = config_.general;
    std::uint8_t report = 0;
    if (g.NotAuthorized && !g.rtNotAuthorized.empty()) report |= kBitNotAuthorized;
    if (g.PrepnoutNepovolPristup) report |= kBitPrepnoutNepovolPristup;
    if (g.OdpovidatT0) report |= kBitOdpovidatT0;
    if (g.SwitchReport && (!g.rtSwitchOn.empty() || !g.rtSwitchOff.empty())) report |= kBitSwitchReport;
    if (g.PowerReport && (!g.rtPowerUp.empty() || !g.rtPowerDown.empty())) report |= kBitPowerReport;
    if (g.Batt) report |= kBitBatt;
    std::uint8_t mode = 0;
    if (g.EnablePS) mode |= kBitEnablePS;
    if (g.SuperPS) mode |= kBitSuperPS;
    if (g.PSOutOff) mode |= kBitPSOutOff;
    if (g.PINAuth) mode |= kBitPINAuth;
    const auto validity = SmsValidityCode(g.DobaPlatnostiSMS);
    if (!validity)
      return Fail(FieldRef{Field::DobaPlatnostiSMS}, texts::kEncodeSmsDays);
    bool ok = Put(report, kReportFlags) && Put(mode, kModeFlags) && Put(*validity, kSmsValidity);

    for (const auto& m : kPhoneMasks) ok = ok && Put(MaskOf(config_.phones, m.flag), m.offset);
    for (const auto& m : kInputMasks) ok = ok && Put(MaskOf(config_.inputs, m.flag), m.offset);
    for (const auto& m : kOutputMasks) ok = ok && Put(MaskOf(config_.outputs, m.flag), m.offset);
    for (const auto& m : kAnalogMasks) ok = ok && Put(MaskOf(config_.analogs, m.flag), m.offset);
    for (long offset : kZeroBytes) ok = ok && Put(0, offset);

    for (int row = 0; row < kRows; ++row) {
      const AnalogInput& a = config_.analogs[row];
      for (const auto& c : kAnalogCodes) {
        const std::string& text = a.*c.field;
        const std::uint8_t code =
            c.kind == CodeKind::Level ? LevelToCode(scales_[row], text) : HysteresisToCode(scales_[row], text);
        ok = ok && Put(code, AnalogCodeOffset(c, row));
      }
      ok = ok && Put(PulseLengthCode(config_.outputs[row].OUTimpulsLEN), PulseLengthOffset(row));
      ok = ok && Put(a.sendAtOnceByte, SendAtOnceOffset(row));
    }
    ok = ok && Put(config_.outputFunctionByte, kOutputFunction);
    ok = ok && Write24(image_, PowerSaveDuration(g.PSOnH, g.PSOnM), kPowerSaveOn);
    ok = ok && Write24(image_, PowerSaveDuration(g.PSOffH, g.PSOffM), kPowerSaveOff);
    return ok;
  }

  bool StartBlock(long slot) {
    return (pos_ <= 0xFFFF && image_.WriteWord(static_cast<std::uint16_t>(pos_), slot)) || Full();
  }
  bool Text(const std::string& utf8) {
    const auto bytes = Utf8ToCp1250(utf8);
    return bytes && WriteImageString(image_, pos_, *bytes);
  }

  template <class Row, std::size_t N, std::size_t B>
  bool RowBlocks(const std::array<Row, N>& rows, const std::array<RowTextBlock<Row>, B>& blocks) {
    for (const auto& b : blocks) {
      if (!StartBlock(b.slot)) return false;
      for (std::size_t i = 0; i < N; ++i) {
        const std::string& text = rows[i].*b.field;
        if (!Text(text)) return TextFailed(codec::TextFieldOf<Row>(b.field, static_cast<int>(i)), text);
      }
    }
    return true;
  }

  bool WriteTextArea() {
    pos_ = kTextArea;
    if (!RowBlocks(config_.inputs, kInputBlocks) || !RowBlocks(config_.outputs, kOutputBlocks) ||
        !RowBlocks(config_.analogs, kAnalogBlocks)) {
      return false;
    }
    if (!StartBlock(kSpareSlot)) return false;
    for (int i = 0; i < kSpareStrings; ++i) {
      if (!WriteImageString(image_, pos_, {})) return Full();
    }
    if (!StartBlock(kPhoneSlot)) return false;
    for (int row = 0; row < kRows; ++row) {
      const FieldRef ref{Field::TC, row};
      const std::string& number = config_.phones[static_cast<std::size_t>(row)].TC;
      if (!Utf8ToCp1250(number)) return TextFailed(ref, number);
      const auto address = PhoneAddress(number);
      if (!address) return Fail(ref, texts::kEncodePhoneAddress);
      if (!WriteImageString(image_, pos_, *address)) return Fail(ref, texts::kEncodePhoneFull);
    }
    if (!StartBlock(kGeneralSlot)) return false;
    for (auto text : kGeneralTexts) {
      if (!Text(config_.general.*text))
        return TextFailed(codec::TextFieldOf<GeneralSettings>(text, 0), config_.general.*text);
    }
    return true;
  }

  const DeviceConfig& config_;
  const std::array<AnalogScale, kRows>& scales_;
  EepromImage& image_;
  long pos_ = kTextArea;
};

}  // namespace

bool EncodeImage(const DeviceConfig& config, const std::array<AnalogScale, kRows>& scales, EepromImage& image,
                 long* usedLength, EncodeError* why) {
  // Encode into a copy so that a failed run leaves the image as it was.
  auto work = std::make_unique<EepromImage>(image);
  long used = 0;
  Encoder encoder(config, scales, *work);
  if (!encoder.Run(&used)) {
    if (why != nullptr) *why = encoder.error;
    return false;
  }
  image = *work;
  if (usedLength != nullptr) *usedLength = used;
  return true;
}

std::string DescribeEncodeError(const EncodeError& e) {
  return (e.field ? FieldDisplayName(*e.field) + ": " + e.cause : e.cause) + ".";
}

}  // namespace vexa
