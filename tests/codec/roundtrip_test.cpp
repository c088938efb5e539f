// Encode then decode gives the configuration back, for many generated
// configurations within the field rules; and randomly damaged images decode
// or fail, never crash.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codec/config_printer.h"
#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/header.h"
#include "codec/layout.h"
#include "codec/values.h"
#include "file/config_json.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

class ConfigGenerator {
 public:
  explicit ConfigGenerator(unsigned seed) : rng_(seed) {}

  char separator = '.';

  DeviceConfig Make(const std::array<AnalogScale, kRows>& scales) {
    separator = Chance(50) ? '.' : ',';
    DeviceConfig c;
    GeneralSettings& g = c.general;
    g.JmenoStanice = Text(kTextLimit, true);
    g.PIN = Digits(0, kPinLimit);
    g.TCcentra = Chance(50) ? "" : "+420" + Digits(9, 9);
    g.DobaPlatnostiSMS = std::to_string(Int(1, 30));
    for (bool* f : {&g.OdpovidatT0, &g.PrepnoutNepovolPristup, &g.PINAuth, &g.NotAuthorized, &g.PowerReport,
                    &g.SwitchReport, &g.Batt, &g.EnablePS, &g.SuperPS, &g.PSOutOff}) {
      *f = Chance(50);
    }
    for (std::string* t : {&g.rtNotAuthorized, &g.rtPowerUp, &g.rtPowerDown, &g.rtSwitchOn, &g.rtSwitchOff}) {
      *t = Text(kTextLimit, false);
    }
    g.PSOnH = WholeNumber(0, 465);
    g.PSOnM = WholeNumber(0, 59);
    g.PSOffH = WholeNumber(0, 465);
    g.PSOffM = WholeNumber(0, 59);
    for (auto& p : c.phones) {
      p.TC = Phone();
      p.TCPrijem = Chance(50);
      p.TCUdalost = Chance(50);
    }
    for (auto& i : c.inputs) {
      for (std::string* t : {&i.INPNazev, &i.INPZap, &i.INPVyp, &i.INPLH, &i.INPHL}) *t = Text(kTextLimit, false);
      for (bool* f : {&i.INPLHEvent, &i.INPHLEvent, &i.INPNeg, &i.INPZpr, &i.MaskDInLHAlarm, &i.MaskDInHLAlarm}) {
        *f = Chance(50);
      }
    }
    for (auto& o : c.outputs) {
      for (std::string* t : {&o.OUTNazev, &o.OUTZap, &o.OUTVyp, &o.OUTimpuls}) *t = Text(kTextLimit, false);
      o.OUTimpulsLEN = Decimal(0.1, 25.5);
      o.OUTNeg = Chance(50);
      o.OUTZpr = Chance(50);
    }
    for (int r = 0; r < kRows; ++r) {
      AnalogInput& a = c.analogs[r];
      const AnalogScale& s = scales[r];
      for (std::string* t : {&a.AINNazev, &a.AINStateL, &a.AINStateM, &a.AINStateH, &a.AINCL1Up, &a.AINCL1Dn,
                             &a.AINCL2Up, &a.AINCL2Dn}) {
        *t = Text(kTextLimit, false);
      }
      a.AINCL1Level = Decimal(s.Min, s.Max);
      a.AINCL2Level = Decimal(s.Min, s.Max);
      a.AINHCL1Level = Decimal(0, (s.Max - s.Min) / 2);
      a.AINHCL2Level = Decimal(0, (s.Max - s.Min) / 2);
      for (bool* f :
           {&a.AINCL1UpEvent, &a.AINCL1DnEvent, &a.AINCL2UpEvent, &a.AINCL2DnEvent, &a.AINNeg, &a.AINZpr, &a.AINPrc}) {
        *f = Chance(50);
      }
      a.sendAtOnceByte = static_cast<std::uint8_t>(Int(0, 255));
    }
    c.outputFunctionByte = static_cast<std::uint8_t>(Int(0, 255));
    return c;
  }

  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Chance(int percent) { return Int(1, 100) <= percent; }

 private:
  std::string Text(int limit, bool czech) {
    static const std::vector<std::string> kCzech = {"á", "č", "ď", "é", "ě", "í", "ň", "ó", "ř", "š",
                                                    "ť", "ú", "ů", "ý", "ž", "Č", "Ř", "Š", "Ž", "–"};
    if (Chance(30)) return "";
    const int length = Chance(80) ? Int(1, 12) : Int(1, limit);
    std::string t;
    for (int i = 0; i < length; ++i) {
      if (czech && Chance(20)) {
        t += kCzech[static_cast<std::size_t>(Int(0, static_cast<int>(kCzech.size()) - 1))];
      } else {
        char ch;
        do ch = static_cast<char>(Int(0x20, 0x7E));
        while (ch == '"');
        t += ch;
      }
    }
    return t;
  }
  std::string Digits(int lo, int hi) {
    std::string d;
    for (int i = Int(lo, hi); i > 0; --i) d += static_cast<char>('0' + Int(0, 9));
    return d;
  }
  std::string Phone() {
    if (Chance(30)) return "";
    if (Chance(5)) return "+";
    return (Chance(70) ? "+" : "") + Digits(1, 20);
  }
  // Mostly within the limits; now and then outside them, to be clamped.
  std::string WholeNumber(int lo, int hi) {
    if (Chance(10)) return std::to_string(Chance(50) ? lo - Int(1, 50) : hi + Int(1, 500));
    return std::to_string(Int(lo, hi));
  }
  std::string Decimal(double lo, double hi) {
    double v = Int(static_cast<int>(lo * 10), static_cast<int>(hi * 10)) / 10.0;
    if (Chance(10)) v = Chance(50) ? lo - Int(1, 100) / 10.0 : hi + Int(1, 1000) / 10.0;
    return FormatNumber(v, separator);
  }

  std::mt19937 rng_;
};

// What the decoder gives back for `c`: levels on the unit's grid, clamped
// numbers, report flags without text off, a "+" without digits empty.
DeviceConfig ExpectedAfterRoundTrip(DeviceConfig c, const std::array<AnalogScale, kRows>& scales, char sep) {
  GeneralSettings& g = c.general;
  g.NotAuthorized = g.NotAuthorized && !g.rtNotAuthorized.empty();
  g.SwitchReport = g.SwitchReport && !(g.rtSwitchOn.empty() && g.rtSwitchOff.empty());
  g.PowerReport = g.PowerReport && !(g.rtPowerUp.empty() && g.rtPowerDown.empty());
  g.PSOnH = NormalizeNumber(g.PSOnH, 0, 465, 0, sep);
  g.PSOnM = NormalizeNumber(g.PSOnM, 0, 59, 0, sep);
  g.PSOffH = NormalizeNumber(g.PSOffH, 0, 465, 0, sep);
  g.PSOffM = NormalizeNumber(g.PSOffM, 0, 59, 0, sep);
  for (auto& p : c.phones) {
    if (p.TC == "+") p.TC.clear();
  }
  for (auto& o : c.outputs) o.OUTimpulsLEN = NormalizeNumber(o.OUTimpulsLEN, 0.1, 25.5, 1, sep);
  for (int r = 0; r < kRows; ++r) {
    AnalogInput& a = c.analogs[r];
    const AnalogScale& s = scales[r];
    a.AINCL1Level = FormatNumber(CodeToLevel(s, LevelToCode(s, a.AINCL1Level)), sep);
    a.AINCL2Level = FormatNumber(CodeToLevel(s, LevelToCode(s, a.AINCL2Level)), sep);
    a.AINHCL1Level = FormatNumber(CodeToHysteresis(s, HysteresisToCode(s, a.AINHCL1Level)), sep);
    a.AINHCL2Level = FormatNumber(CodeToHysteresis(s, HysteresisToCode(s, a.AINHCL2Level)), sep);
  }
  return c;
}

TEST(RoundTrip, GeneratedConfigurationsComeBack) {
  const std::array<AnalogScale, kRows> scales = BuildAnalogScales();
  ConfigGenerator gen(20240611);
  for (int n = 0; n < 1000; ++n) {
    const DeviceConfig original = gen.Make(scales);
    auto image = std::make_unique<EepromImage>();
    for (long o = 0; o < 300; ++o) image->WriteByte(static_cast<std::uint8_t>(gen.Int(0, 255)), o);
    long used = 0;
    ASSERT_TRUE(EncodeImage(original, scales, *image, &used)) << ConfigToJsonText(original);
    ASSERT_TRUE(IsImageValid(*image));
    ASSERT_EQ(UsedLength(*image), used);
    ASSERT_TRUE(IsImageCompleteWithin(*image, used));
    ASSERT_FALSE(IsImageCompleteWithin(*image, used - 1));

    DeviceConfig decoded;  // every field the image holds is overwritten
    ASSERT_TRUE(DecodeImage(*image, scales, gen.separator, decoded));
    const DeviceConfig expected = ExpectedAfterRoundTrip(original, scales, gen.separator);
    ASSERT_EQ(decoded, expected) << "configuration " << n << "\nexpected:\n"
                                 << ConfigToJsonText(expected) << "\ndecoded:\n"
                                 << ConfigToJsonText(decoded);

    // Reading back and writing again gives the unit the same bytes.
    auto again = std::make_unique<EepromImage>(*image);
    ASSERT_TRUE(EncodeImage(decoded, scales, *again));
    ASSERT_TRUE(*again == *image) << "configuration " << n;
  }
}

TEST(RoundTrip, RandomlyDamagedImagesDecodeOrFail) {
  const std::array<AnalogScale, kRows> scales = BuildAnalogScales();
  ConfigGenerator gen(77);
  int decoded = 0, refused = 0;
  for (int n = 0; n < 300; ++n) {
    auto image = std::make_unique<EepromImage>();
    long used = 0;
    ASSERT_TRUE(EncodeImage(gen.Make(scales), scales, *image, &used));
    for (int hits = gen.Int(1, 6); hits > 0; --hits) {
      // Pointers, phone block and text area are where damage matters most.
      const long offset = gen.Chance(40) ? gen.Int(0, 41) : gen.Chance(30) ? gen.Int(65500, 65535) : gen.Int(272, used);
      image->WriteByte(static_cast<std::uint8_t>(gen.Chance(30) ? 0xFF : gen.Int(0, 255)), offset);
    }
    image->WriteByte(HeaderChecksum(*image), layout::kChecksumByte);
    DeviceConfig out;
    const DeviceConfig before = out;
    if (DecodeImage(*image, scales, '.', out)) {
      ++decoded;
    } else {
      ++refused;
      EXPECT_EQ(out, before);
    }
    const auto length = UsedLength(*image);
    if (length) {
      EXPECT_TRUE(*length > 0 && *length <= kImageSize);
    }
  }
  EXPECT_EQ(decoded + refused, 300);
}

}  // namespace
}  // namespace vexa
