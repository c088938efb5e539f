#include "workspace/compare.h"

#include <cstdint>
#include <memory>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "texts/texts.h"
#include "texts/texts_window.h"

namespace vexa {
namespace {

// The bits of the send-at-once byte of an analog row, as its editor shows
// them: each beside its crossing's event box.
constexpr Field kSendAtOnceEvents[4] = {Field::AINCL1UpEvent, Field::AINCL1DnEvent, Field::AINCL2UpEvent,
                                        Field::AINCL2DnEvent};

const char* YesNo(bool on) { return on ? texts::kCompareOn : texts::kCompareOff; }

// One line per differing bit of `a` and `b`.
void CompareBits(std::uint8_t a, std::uint8_t b, const std::string& name, const std::string& labelPrefix,
                 const std::string* captions, int namedBits, std::vector<FieldDifference>& out) {
  for (int bit = 0; bit < 8; ++bit) {
    const bool x = (a >> bit) & 1;
    const bool y = (b >> bit) & 1;
    if (x == y) continue;
    const std::string caption =
        bit < namedBits && !captions[bit].empty() ? captions[bit] : labelPrefix + "bit " + std::to_string(bit);
    out.push_back({name + ".bit" + std::to_string(bit), caption, true, YesNo(x), YesNo(y)});
  }
}

}  // namespace

std::string FieldCaption(Field field) {
  const FieldInfo& info = InfoOf(field);
  return info.group != nullptr ? std::string(info.group) + ": " + info.caption : std::string(info.caption);
}

std::string FieldCaption(FieldRef field) {
  const Family family = InfoOf(field.field).family;
  if (!FamilyHasRows(family)) return FieldCaption(field.field);
  return RowLabel(family, field.row) + " " + FieldCaption(field.field);
}

std::vector<FieldDifference> CompareConfigs(const DeviceConfig& a, const DeviceConfig& b) {
  std::vector<FieldDifference> out;
  const ProgramSettings settings;
  for (int f = 0; f < kFieldCount; ++f) {
    const FieldInfo& info = InfoOf(static_cast<Field>(f));
    if (info.family == Family::Program) continue;
    for (int row = 0; row < RowCount(info.family); ++row) {
      const FieldRef ref{info.field, row};
      // The battery row's CL1 down text is rtBattLow, listed as such.
      if (IsNamedAsGeneralField(ref)) continue;
      if (const std::string* x = TextOf(a, settings, ref)) {
        const std::string* y = TextOf(b, settings, ref);
        if (y && *x != *y) out.push_back({FieldDisplayName(ref), FieldCaption(ref), false, *x, *y});
      } else if (const bool* p = FlagOf(a, settings, ref)) {
        const bool* q = FlagOf(b, settings, ref);
        if (q && *p != *q) out.push_back({FieldDisplayName(ref), FieldCaption(ref), true, YesNo(*p), YesNo(*q)});
      }
    }
  }
  const std::string outputBits[2] = {RowLabel(Family::Output, 0) + " " + texts::kOutputModemState,
                                     RowLabel(Family::Output, 1) + " " + texts::kOutputPowerSaveState};
  CompareBits(a.outputFunctionByte, b.outputFunctionByte, "outputFunctionByte",
              std::string(texts::kCompareOutputFunctions) + ": ", outputBits, 2, out);
  for (int row = 0; row < kRows; ++row) {
    const std::string label = RowLabel(Family::Analog, row) + " ";
    std::string captions[4];
    for (int bit = 0; bit < 4; ++bit) {
      captions[bit] = label + InfoOf(kSendAtOnceEvents[bit]).caption + ": " + texts::kSendAtOnce;
    }
    CompareBits(a.analogs[static_cast<std::size_t>(row)].sendAtOnceByte,
                b.analogs[static_cast<std::size_t>(row)].sendAtOnceByte,
                "sendAtOnceByte[" + std::to_string(row) + "]", label + texts::kSendAtOnce + ": ", captions, 4, out);
  }
  return out;
}

DeviceConfig StoredForm(const DeviceConfig& config, const std::array<AnalogScale, kRows>& scales,
                        char decimalSeparator) {
  // The image is 64 KiB: kept off the stack.
  auto image = std::make_unique<EepromImage>();
  DeviceConfig stored = config;
  if (!EncodeImage(config, scales, *image)) return config;
  if (!DecodeImage(*image, scales, decimalSeparator, stored)) return config;
  return stored;
}

std::vector<FieldDifference> CompareStored(const DeviceConfig& a, const DeviceConfig& b,
                                           const std::array<AnalogScale, kRows>& scales, char decimalSeparator) {
  return CompareConfigs(StoredForm(a, scales, decimalSeparator), StoredForm(b, scales, decimalSeparator));
}

}  // namespace vexa
