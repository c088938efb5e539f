// The decoder: fixed settings, texts, phone entries, the user's notation, and
// damaged images that must fail without touching the configuration.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "codec/config_printer.h"
#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/header.h"
#include "codec/layout.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

// The start-up configuration encoded, then changed by `poke`, then decoded.
DeviceConfig DecodedAfter(const std::function<void(EepromImage&)>& poke, char separator = '.') {
  Workspace ws;
  EXPECT_TRUE(EncodeImage(ws));
  poke(ws.image);
  DeviceConfig out = ws.config;
  EXPECT_TRUE(DecodeImage(ws.image, ws.scales, separator, out));
  return out;
}

TEST(Decoder, FixedSettingsFromTheirBytes) {
  struct Case {
    const char* what;
    std::function<void(EepromImage&)> poke;
    std::function<bool(const DeviceConfig&)> holds;
  };
  auto put = [](std::vector<std::pair<long, int>> bytes) {
    return [bytes](EepromImage& im) {
      for (auto [o, v] : bytes) im.WriteByte(static_cast<std::uint8_t>(v), o);
    };
  };
  const std::vector<Case> cases = {
      {"129 = 02 chooses power save", put({{129, 0x02}}), [](const DeviceConfig& c) { return c.general.EnablePS; }},
      {"129 = 00 is without power save", put({{129, 0x00}}),
       [](const DeviceConfig& c) { return !c.general.EnablePS && !c.general.SuperPS; }},
      {"129 bits 2, 3, 7", put({{129, 0x8C}}),
       [](const DeviceConfig& c) { return c.general.SuperPS && c.general.PSOutOff && c.general.PINAuth; }},
      {"128 every report bit", put({{128, 0x3F}}),
       [](const DeviceConfig& c) {
         const auto& g = c.general;
         return g.NotAuthorized && g.PrepnoutNepovolPristup && g.OdpovidatT0 && g.SwitchReport && g.PowerReport &&
                g.Batt;
       }},
      {"130 = 169 is 3 days", put({{130, 169}}),
       [](const DeviceConfig& c) { return c.general.DobaPlatnostiSMS == "3"; }},
      {"251..253 = A0 8C 00 is 1 h 0 min", put({{251, 0xA0}, {252, 0x8C}, {253, 0x00}}),
       [](const DeviceConfig& c) { return c.general.PSOnH == "1" && c.general.PSOnM == "0"; }},
      {"254..256 = FF FF FF is 466 h 2 min", put({{254, 0xFF}, {255, 0xFF}, {256, 0xFF}}),
       [](const DeviceConfig& c) { return c.general.PSOffH == "466" && c.general.PSOffM == "2"; }},
      {"odd tenths are dropped", put({{251, 0x01}, {252, 0x00}, {253, 0x00}}),
       [](const DeviceConfig& c) { return c.general.PSOnH == "0" && c.general.PSOnM == "0"; }},
      {"pulse 25 is 2.5, 10 is 1", put({{183, 25}, {184, 10}}),
       [](const DeviceConfig& c) { return c.outputs[0].OUTimpulsLEN == "2.5" && c.outputs[1].OUTimpulsLEN == "1"; }},
      {"masks spread over rows", put({{131, 0x81}, {139, 0x02}, {182, 0x40}}),
       [](const DeviceConfig& c) {
         return c.phones[0].TCPrijem && c.phones[7].TCPrijem && !c.phones[1].TCPrijem && c.inputs[1].INPNeg &&
                c.analogs[6].AINNeg;
       }},
      {"242 and 243..250 pass whole", put({{242, 0xB6}, {243, 0xF5}, {250, 0x1F}}),
       [](const DeviceConfig& c) {
         return c.outputFunctionByte == 0xB6 && c.MaskDOutFnc(0) == OutputFunction::Standard &&
                c.MaskDOutFnc(1) == OutputFunction::PowerSaveState && c.analogs[0].sendAtOnceByte == 0xF5 &&
                c.analogs[0].CL1Up() && c.analogs[7].sendAtOnceByte == 0x1F;
       }},
      {"levels show the value of their code", put({{150, 127}, {158, 128}, {166, 13}, {157, 113}}),
       [](const DeviceConfig& c) {
         return c.analogs[0].AINCL1Level == "49.8" && c.analogs[0].AINCL2Level == "50.2" &&
                c.analogs[0].AINHCL1Level == "5.1" && c.analogs[7].AINCL1Level == "12";
       }},
  };
  for (const auto& c : cases) EXPECT_TRUE(c.holds(DecodedAfter(c.poke))) << c.what;
}

TEST(Decoder, NumbersFollowTheUsersNotation) {
  const DeviceConfig c = DecodedAfter(
      [](EepromImage& im) {
        im.WriteByte(25, 183);
        im.WriteByte(127, 150);
        im.WriteByte(13, 174);
      },
      ',');
  EXPECT_EQ(c.outputs[0].OUTimpulsLEN, "2,5");
  EXPECT_EQ(c.analogs[0].AINCL1Level, "49,8");
  EXPECT_EQ(c.analogs[0].AINHCL2Level, "5,1");
}

TEST(Decoder, UnownedBytesAreNotRead) {
  Workspace ws;
  ws.config.general.JmenoStanice = "Stanice";
  ASSERT_TRUE(EncodeImage(ws));
  DeviceConfig clean = ws.config;
  ASSERT_TRUE(DecodeImage(ws.image, ws.scales, '.', clean));
  for (auto [from, to] : std::vector<std::pair<long, long>>{{6, 7},
                                                            {42, 45},
                                                            {49, 127},
                                                            {134, 134},
                                                            {136, 136},
                                                            {138, 138},
                                                            {140, 140},
                                                            {143, 143},
                                                            {191, 239},
                                                            {257, 271}}) {
    for (long o = from; o <= to; ++o) ws.image.WriteByte(0xA5, o);
  }
  DeviceConfig noisy = ws.config;
  ASSERT_TRUE(DecodeImage(ws.image, ws.scales, '.', noisy));
  EXPECT_EQ(noisy, clean);
}

TEST(Decoder, NegatedAnalogInputKeepsItsCrossingTexts) {
  // Every read-then-write must give the unit back the texts it held.
  Workspace ws;
  ws.config.general.rtNotAuthorized = "Pristup odepren";
  for (int row : {0, 5}) {
    auto& a = ws.config.analogs[row];
    a.AINNeg = row == 5;
    a.AINCL1Up = "nad CL1";
    a.AINCL1Dn = "pod CL1";
    a.AINCL2Up = "nad CL2";
    a.AINCL2Dn = "pod CL2";
  }
  ASSERT_TRUE(EncodeImage(ws));
  const EepromImage first = ws.image;
  const DeviceConfig original = ws.config;
  ASSERT_TRUE(DecodeImage(ws));
  EXPECT_EQ(ws.config, original);
  ASSERT_TRUE(EncodeImage(ws));
  EXPECT_TRUE(ws.image == first);
}

TEST(Decoder, PhoneEntries) {
  using namespace std::string_literals;
  struct Case {
    std::string block;  // eight entries
    std::vector<std::string> numbers;
  };
  const std::vector<Case> cases = {
      {std::string(8, '\0'), {"", "", "", "", "", "", "", ""}},
      {"0791214365F7\0"s
       "0681061332\0"s
       "05812143F5\0"s
       "\0\0\0\0\0"s,
       {"+1234567", "603123", "12345", "", "", "", "", ""}},
      // A type other than 91 gains no "+"; the digits are swapped back pair by pair.
      {"\0"s
       "12A1214365870921436587\0"s
       "\0\0\0\0\0\0"s,
       {"", "123456789012345678", "", "", "", "", "", ""}},
  };
  for (const auto& c : cases) {
    Workspace ws;
    ASSERT_TRUE(EncodeImage(ws));
    const long at = 2000;
    std::copy(c.block.begin(), c.block.end(), ws.image.data() + at);
    ws.image.WriteWord(static_cast<std::uint16_t>(at), layout::kPhoneSlot);
    DeviceConfig out = ws.config;
    ASSERT_TRUE(DecodeImage(ws.image, ws.scales, '.', out));
    for (int r = 0; r < kRows; ++r) EXPECT_EQ(out.phones[r].TC, c.numbers[r]) << "row " << r;
  }
}

TEST(Decoder, DamagedImagesFailWithTheirReasonAndLeaveTheConfigurationAlone) {
  struct Case {
    const char* what;
    std::function<void(EepromImage&)> poke;
    const char* reason;
  };
  // The block of `slot` moved to `at` (clear of the other blocks), holding
  // `bytes`, then no terminator to the end of the image.
  auto blockAt = [](long slot, long at, std::string bytes) {
    return [=](EepromImage& im) {
      for (long o = at; o < kImageSize; ++o) im.WriteByte('x', o);
      std::copy(bytes.begin(), bytes.end(), im.data() + at);
      im.WriteWord(static_cast<std::uint16_t>(at), slot);
    };
  };
  const std::vector<Case> cases = {
      {"input names run to the image end", blockAt(0, 65000, ""),
       "INPNazev[0]: text přesahuje konec paměti (adresa 0xFDE8)."},
      {"the fourth input name has no terminator", blockAt(0, 0xFFED, std::string(3, '\0')),
       "INPNazev[3]: text přesahuje konec paměti (adresa 0xFFF0)."},
      {"a block pointer at the last byte: the second row lies past the image",
       blockAt(layout::kInputBlocks[1].slot, 65535, std::string(1, '\0')),
       "INPZap[1]: text začíná za koncem paměti (adresa 0x10000)."},
      {"the crossing texts are named by their slot", blockAt(layout::kAnalogBlocks[4].slot, 65535, ""),
       "AINCL1Dn[0]: text přesahuje konec paměti (adresa 0xFFFF)."},
      {"general texts start at the last byte", blockAt(layout::kGeneralSlot, 65535, ""),
       "JmenoStanice: text přesahuje konec paměti (adresa 0xFFFF)."},
      {"the PIN runs off", blockAt(layout::kGeneralSlot, 65530, std::string(1, '\0')),
       "PIN: text přesahuje konec paměti (adresa 0xFFFB)."},
      {"spare block runs off", blockAt(layout::kSpareSlot, 65534, ""),
       "Rezervní text 1: text přesahuje konec paměti (adresa 0xFFFE)."},
      {"the second spare text runs off", blockAt(layout::kSpareSlot, 65534, std::string(1, '\0')),
       "Rezervní text 2: text přesahuje konec paměti (adresa 0xFFFF)."},
      {"phone count not hexadecimal", blockAt(layout::kPhoneSlot, 0x800, "Z1"),
       "TC[0]: počet číslic v záznamu čísla není šestnáctkové číslo (adresa 0x0800)."},
      {"third phone count not hexadecimal", blockAt(layout::kPhoneSlot, 0x800, std::string(2, '\0') + "0G"),
       "TC[2]: počet číslic v záznamu čísla není šestnáctkové číslo (adresa 0x0802)."},
      {"phone digits run past the image end", blockAt(layout::kPhoneSlot, 65530, "FF91"),
       "TC[0]: záznam čísla přesahuje konec paměti (adresa 0xFFFA)."},
      {"a phone count at the last byte", blockAt(layout::kPhoneSlot, 65529, std::string(6, '\0') + "1"),
       "TC[6]: záznam čísla přesahuje konec paměti (adresa 0xFFFF)."},
  };
  for (const auto& c : cases) {
    Workspace ws;
    ws.config.general.JmenoStanice = "puvodni";
    ASSERT_TRUE(EncodeImage(ws));
    ws.config.general.JmenoStanice = "na obrazovce";
    const DeviceConfig shown = ws.config;
    c.poke(ws.image);
    ws.image.WriteByte(HeaderChecksum(ws.image), layout::kChecksumByte);
    ASSERT_TRUE(IsImageValid(ws.image)) << c.what;
    EXPECT_FALSE(DecodeImage(ws)) << c.what;
    EXPECT_EQ(ws.config, shown) << c.what;
    EXPECT_FALSE(ws.validationSuppressed) << c.what;
    DecodeError why;
    EXPECT_FALSE(DecodeImage(ws.image, ws.scales, '.', ws.config, &why)) << c.what;
    EXPECT_EQ(DescribeDecodeError(why), c.reason) << c.what;
  }
}

TEST(Decoder, WorkspaceDecodeReplacesTheConfigurationAndClearsTheFlag) {
  Workspace ws;
  ws.config.general.JmenoStanice = "ulozeno";
  ws.config.general.NotAuthorized = false;  // on without its text it would come back off
  ws.config.analogs[7].AINCL1Dn = "Baterie";
  ASSERT_TRUE(EncodeImage(ws));
  const DeviceConfig saved = ws.config;
  ws.config.general.JmenoStanice = "upraveno";
  ws.config.inputs[3].INPNeg = true;
  ws.validationSuppressed = true;
  ASSERT_TRUE(DecodeImage(ws));
  EXPECT_EQ(ws.config, saved);
  EXPECT_EQ(ws.config.rtBattLow(), "Baterie");
  EXPECT_FALSE(ws.validationSuppressed);
}

}  // namespace
}  // namespace vexa
