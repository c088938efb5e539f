// The encoder: derived report flags, fixed settings, clamped numbers, phone
// entries, failures, and what it leaves alone.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "codec/encoder.h"
#include "codec/header.h"
#include "codec/layout.h"
#include "texts/texts.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

std::vector<int> Bytes(const EepromImage& im, long from, long count) {
  return {im.data() + from, im.data() + from + count};
}

EepromImage Encoded(const std::function<void(DeviceConfig&)>& edit) {
  Workspace ws;
  edit(ws.config);
  EXPECT_TRUE(EncodeImage(ws));
  EXPECT_TRUE(IsImageValid(ws.image));
  return ws.image;
}

TEST(Encoder, StartupConfigurationFixedSettings) {
  const EepromImage im = Encoded([](DeviceConfig&) {});
  EXPECT_EQ(Bytes(im, 128, 3), (std::vector<int>{0x00, 0x00, 0xA9}));
  EXPECT_EQ(Bytes(im, 131, 19), std::vector<int>(19, 0));
  EXPECT_EQ(Bytes(im, 150, 8), std::vector<int>(8, 0x00));
  EXPECT_EQ(Bytes(im, 158, 8), std::vector<int>(8, 0xFF));
  EXPECT_EQ(Bytes(im, 166, 17), std::vector<int>(17, 0));
  EXPECT_EQ(Bytes(im, 183, 8), std::vector<int>(8, 0x14));
  EXPECT_EQ(Bytes(im, 240, 11), std::vector<int>(11, 0));
  EXPECT_EQ(Bytes(im, 251, 6), (std::vector<int>{0xA0, 0x8C, 0x00, 0xA0, 0x8C, 0x00}));
}

TEST(Encoder, ReportFlagsAreSetOnlyWithTheirTexts) {
  struct Case {
    const char* what;
    std::function<void(GeneralSettings&)> edit;
    int expected;
  };
  const std::vector<Case> cases = {
      {"NotAuthorized without text", [](GeneralSettings& g) { g.NotAuthorized = true; }, 0x00},
      {"NotAuthorized with text", [](GeneralSettings& g) { g.rtNotAuthorized = "x"; }, 0x01},
      {"text without NotAuthorized",
       [](GeneralSettings& g) {
         g.NotAuthorized = false;
         g.rtNotAuthorized = "x";
       },
       0x00},
      {"PrepnoutNepovolPristup", [](GeneralSettings& g) { g.PrepnoutNepovolPristup = true; }, 0x02},
      {"OdpovidatT0", [](GeneralSettings& g) { g.OdpovidatT0 = true; }, 0x04},
      {"SwitchReport without texts", [](GeneralSettings& g) { g.SwitchReport = true; }, 0x00},
      {"SwitchReport with off text",
       [](GeneralSettings& g) {
         g.SwitchReport = true;
         g.rtSwitchOff = "off";
       },
       0x08},
      {"SwitchReport with on text",
       [](GeneralSettings& g) {
         g.SwitchReport = true;
         g.rtSwitchOn = "on";
       },
       0x08},
      {"PowerReport without texts", [](GeneralSettings& g) { g.PowerReport = true; }, 0x00},
      {"PowerReport with up text",
       [](GeneralSettings& g) {
         g.PowerReport = true;
         g.rtPowerUp = "up";
       },
       0x10},
      {"PowerReport with down text",
       [](GeneralSettings& g) {
         g.PowerReport = true;
         g.rtPowerDown = "dn";
       },
       0x10},
      {"texts without PowerReport", [](GeneralSettings& g) { g.rtPowerUp = "up"; }, 0x00},
      {"Batt without battery text", [](GeneralSettings& g) { g.Batt = true; }, 0x20},
  };
  for (const auto& c : cases) {
    const EepromImage im = Encoded([&](DeviceConfig& cfg) { c.edit(cfg.general); });
    EXPECT_EQ(im.data()[128], c.expected) << c.what;
  }
}

TEST(Encoder, SmsValidityAndItsFailures) {
  struct Case {
    const char* text;
    int expected;  // -1: the encode fails
  };
  const std::vector<Case> cases = {{"3", 169}, {"1", 167},  {"30", 196}, {"7,9", 173}, {"89", 255},
                                   {"90", -1}, {"abc", -1}, {"", -1},    {"1e9", -1},  {"-167", -1}};
  for (const auto& c : cases) {
    Workspace ws;
    for (long o = 0; o < 1024; ++o) ws.image.WriteByte(0x5A, o);
    const EepromImage before = ws.image;
    ws.config.general.DobaPlatnostiSMS = c.text;
    ws.config.inputs[0].INPNazev = "changed";
    const bool ok = EncodeImage(ws);
    EXPECT_EQ(ok, c.expected >= 0) << c.text;
    if (ok) {
      EXPECT_EQ(ws.image.data()[130], c.expected) << c.text;
    } else {
      EXPECT_TRUE(ws.image == before) << "a failed encode changed the image: " << c.text;
    }
  }
}

TEST(Encoder, NumbersAreCutAndClamped) {
  struct Case {
    std::function<void(DeviceConfig&)> edit;
    std::vector<std::pair<long, int>> bytes;
  };
  const std::vector<Case> cases = {
      {[](DeviceConfig& c) { c.outputs[0].OUTimpulsLEN = "2.5"; }, {{183, 25}}},
      {[](DeviceConfig& c) { c.outputs[1].OUTimpulsLEN = "0"; }, {{184, 1}}},
      {[](DeviceConfig& c) { c.outputs[2].OUTimpulsLEN = "30"; }, {{185, 255}}},
      {[](DeviceConfig& c) { c.outputs[3].OUTimpulsLEN = "1,27"; }, {{186, 12}}},
      {[](DeviceConfig& c) { c.outputs[7].OUTimpulsLEN = "x"; }, {{190, 1}}},
      {[](DeviceConfig& c) {
         c.general.PSOnH = "500";
         c.general.PSOnM = "0";
       },
       {{251, 0xA0}, {252, 0x6E}, {253, 0xFF}}},  // 465 h = 16,740,000 tenths
      {[](DeviceConfig& c) {
         c.general.PSOffH = "465";
         c.general.PSOffM = "59";
       },
       {{254, 0xE8}, {255, 0xF8}, {256, 0xFF}}},  // 16,775,400
      {[](DeviceConfig& c) {
         c.general.PSOnH = "0";
         c.general.PSOnM = "75";
       },
       {{251, 0x48}, {252, 0x8A}, {253, 0x00}}},  // clamped to 59 min = 35,400
      {[](DeviceConfig& c) { c.analogs[0].AINCL1Level = "50"; }, {{150, 127}}},
      {[](DeviceConfig& c) { c.analogs[1].AINCL2Level = "150"; }, {{159, 255}}},
      {[](DeviceConfig& c) { c.analogs[7].AINCL1Level = "12,5"; }, {{157, 118}}},
      {[](DeviceConfig& c) { c.analogs[2].AINHCL1Level = "5"; }, {{168, 13}}},
      {[](DeviceConfig& c) { c.analogs[3].AINHCL2Level = "80"; }, {{177, 127}}},
      {[](DeviceConfig& c) { c.analogs[7].AINHCL2Level = "1"; }, {{181, 9}}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const EepromImage im = Encoded(cases[i].edit);
    for (auto [offset, value] : cases[i].bytes) EXPECT_EQ(im.data()[offset], value) << "case " << i << " @" << offset;
  }
}

// The phone block as the encoder writes it.
std::string PhoneBlock(const EepromImage& im) {
  const long start = *im.ReadWord(layout::kPhoneSlot);
  const long end = *im.ReadWord(layout::kGeneralSlot);
  return std::string(reinterpret_cast<const char*>(im.data() + start), static_cast<std::size_t>(end - start));
}

TEST(Encoder, PhoneEntries) {
  struct Case {
    std::string number;
    std::string stored;  // the row's entry, terminator included
  };
  using namespace std::string_literals;
  const std::vector<Case> cases = {
      {"", "\0"s},
      {"+", "\0"s},  // no digits: stored empty so the entries stay in step
      {"+1234567", "0791214365F7\0"s},
      {"603123", "0681061332\0"s},
      {"+123456789012345", "0F9121436587092143F5\0"s},
      {"+123456789", "099121436587F9\0"s},
  };
  for (const auto& c : cases) {
    const EepromImage im = Encoded([&](DeviceConfig& cfg) { cfg.phones[2].TC = c.number; });
    EXPECT_EQ(PhoneBlock(im), "\0\0"s + c.stored + "\0\0\0\0\0"s) << c.number;
  }
}

TEST(Encoder, RefusesWhatTheUnitCouldNotReadBack) {
  struct Case {
    const char* what;
    std::function<void(DeviceConfig&)> edit;
    std::string field;  // the field the failure names, before its cause
    const char* cause;
  };
  const std::vector<Case> cases = {
      {"NUL inside a text", [](DeviceConfig& c) { c.inputs[3].INPVyp = std::string("a\0b", 3); },
       "INPVyp[3]", texts::kEncodeNul},
      {"NUL in a general text", [](DeviceConfig& c) { c.general.rtPowerUp = std::string("\0", 1); },
       "rtPowerUp", texts::kEncodeNul},
      {"phone with more than 255 digits", [](DeviceConfig& c) { c.phones[6].TC = std::string(256, '1'); },
       "TC[6]", texts::kEncodePhoneAddress},
      {"SMS validity", [](DeviceConfig& c) { c.general.DobaPlatnostiSMS = "90"; },
       "DobaPlatnostiSMS", texts::kEncodeSmsDays},
      {"text area past the image end",
       [](DeviceConfig& c) {
         for (auto& a : c.analogs) a.AINNazev = a.AINStateL = a.AINStateM = a.AINStateH = std::string(2100, 'x');
       },
       "AINStateH[7]", texts::kEncodeTextFull},
  };
  for (const auto& c : cases) {
    Workspace ws;
    const EepromImage before = ws.image;
    c.edit(ws.config);
    EncodeError why;
    EXPECT_FALSE(EncodeImage(ws, nullptr, &why)) << c.what;
    EXPECT_EQ(DescribeEncodeError(why), c.field + ": " + c.cause + ".") << c.what;
    EXPECT_TRUE(ws.image == before) << c.what;
  }
}

TEST(Encoder, FillsTheImageToItsLastByte) {
  // The text area ends exactly at offset 65,535: the end marker takes the
  // last two bytes. One more character does not fit.
  Workspace ws;
  long used = 0;
  ASSERT_TRUE(EncodeImage(ws, &used));
  const long room = kImageSize - used;
  ws.config.general.JmenoStanice = std::string(static_cast<std::size_t>(room), 'n');
  ASSERT_TRUE(EncodeImage(ws, &used));
  EXPECT_EQ(used, kImageSize);
  EXPECT_EQ(ws.image.ReadWord(kImageSize - 2), 0xFFFF);
  ws.config.general.JmenoStanice += 'n';
  EXPECT_FALSE(EncodeImage(ws));
}

}  // namespace
}  // namespace vexa
