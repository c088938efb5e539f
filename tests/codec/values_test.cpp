// The small conversions the image format rests on: hexadecimal pairs, phone
// addresses, number normalisation and the analog level and hysteresis codes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "codec/values.h"
#include "model/reference_tables.h"

namespace vexa {
namespace {

// ---- hexadecimal pairs ------------------------------------------------------

TEST(HexPairToByte, ReadsBothCasesAndRefusesOtherCharacters) {
  struct Case {
    char high, low;
    std::optional<std::uint8_t> expected;
  };
  const std::vector<Case> cases = {
      {'0', '0', 0x00},         {'F', 'F', 0xFF},          {'f', 'f', 0xFF},         {'3', 'C', 0x3C},
      {'a', 'B', 0xAB},         {'9', '1', 0x91},          {'G', '0', std::nullopt}, {'0', 'g', std::nullopt},
      {' ', '1', std::nullopt}, {'\0', '0', std::nullopt}, {'+', '0', std::nullopt}, {'0', '\xFF', std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HexPairToByte(c.high, c.low), c.expected) << c.high << c.low;
  }
}

TEST(AppendByteHex, PlacesLowNibbleFirstInUpperCase) {
  struct Case {
    std::uint8_t value;
    char first, second;
  };
  const std::vector<Case> cases = {
      {0x3C, 'C', '3'}, {0x05, '5', '0'}, {0xFF, 'F', 'F'}, {0x00, '0', '0'}, {0xA0, '0', 'A'}, {0xAB, 'B', 'A'},
  };
  for (const auto& c : cases) {
    SerialFrame f;
    f.Length = 3;
    ASSERT_TRUE(AppendByteHex(f, 3, c.value));
    EXPECT_EQ(f.Data[3], c.first) << int(c.value);
    EXPECT_EQ(f.Data[4], c.second) << int(c.value);
    EXPECT_EQ(f.Length, 5);
    // Every byte survives the trip to text and back.
    EXPECT_EQ(HexPairToByte(static_cast<char>(f.Data[4]), static_cast<char>(f.Data[3])), c.value);
  }
}

TEST(AppendByteHex, RefusesPositionsWhereTheSecondDigitWouldNotFit) {
  SerialFrame f;
  EXPECT_TRUE(AppendByteHex(f, 254, 0x12));
  EXPECT_EQ(f.Data[254], '2');
  EXPECT_EQ(f.Data[255], '1');
  EXPECT_EQ(f.Length, 2);
  for (int position : {255, 256, -1, 100000}) {
    SerialFrame before = f;
    EXPECT_FALSE(AppendByteHex(f, position, 0x34)) << position;
    EXPECT_EQ(f.Data, before.Data);
    EXPECT_EQ(f.Length, before.Length);
  }
}

// ---- phone numbers ----------------------------------------------------------

TEST(PhoneNumber, EncodesAsSemiOctetAddressAndDecodesBack) {
  struct Case {
    std::string number, address;
  };
  const std::vector<Case> cases = {
      {"", "00"},
      {"+", "0091"},
      {"+1234567", "0791214365F7"},
      {"603123", "0681061332"},
      {"12345", "05812143F5"},
      {"+420602123456", "0C91246020214365"},
      {"12345678901", "0B812143658709F1"},
      {"+123456789012345", "0F9121436587092143F5"},
      {"+1234567890123456", "10912143658709214365"},
      {"5", "0181F5"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodePhoneNumber(c.number), c.address) << c.number;
    EXPECT_EQ(DecodePhoneNumber(c.address), c.number) << c.address;
  }
}

TEST(PhoneNumber, AgreesWithTheGoldenPumpingStationFile) {
  // The phone block of a file saved by an independent implementation, for the
  // numbers of its configuration.
  std::ifstream in(VEXA_FIXTURES_DIR "/pumping-station.eep", std::ios::binary);
  ASSERT_TRUE(in) << "fixture missing";
  const std::string file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(file.size(), 42u);
  std::size_t at = static_cast<unsigned char>(file[40]) | (static_cast<unsigned char>(file[41]) << 8);
  const std::vector<std::string> numbers = {"+420602123456",    "+420731000111",     "603123", "+1234567", "",
                                            "+123456789012345", "+1234567890123456", ""};
  for (const std::string& number : numbers) {
    const std::size_t end = file.find('\0', at);
    ASSERT_NE(end, std::string::npos);
    const std::string stored = file.substr(at, end - at);
    EXPECT_EQ(number.empty() ? std::string() : EncodePhoneNumber(number), stored) << number;
    if (!stored.empty()) {
      EXPECT_EQ(DecodePhoneNumber(stored), number);
    }
    at = end + 1;
  }
}

// Only type 91 gives a "+"; texts a damaged image can spell each give a result
// or a refusal, never a read past the text.
TEST(PhoneNumber, OnlyTypeNinetyOneGivesAPlusAndMalformedAddressesStayInTheText) {
  struct Case {
    std::string address;
    std::optional<std::string> number;
  };
  const std::vector<Case> cases = {
      {"04A12143", "1234"}, {"04812143", "1234"}, {"04912143", "+1234"}, {"04192143", "1234"}, {"0481", ""},
      {"", std::nullopt},
      {"0", std::nullopt},
      {"G1", std::nullopt},
      {"1G91", std::nullopt},
      {"00", ""},
      {"07", ""},              // no type, no digits
      {"079", ""},             // half a type
      {"0791", "+"},           // count says 7, nothing follows
      {"07912143", "+1234"},   // count says 7, only two pairs follow
      {"079121436", "+1234"},  // a lone half pair is not read
      {"FF91F", "+"},
      {"0291FF", "+F"},  // only the last "F" is padding
      {std::string("02\0\0\0\0", 6), std::string("\0\0", 2)},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodePhoneNumber(c.address), c.number) << c.address;
}

TEST(PhoneNumber, CountsAboveTwoHexDigitsAreNotCutShort) {
  // 255 digits is the most two count digits say; a longer number keeps all
  // its digits behind a wider count instead of silently losing some.
  EXPECT_EQ(EncodePhoneNumber(std::string(255, '7')).substr(0, 4), "FF81");
  const std::string address = EncodePhoneNumber(std::string(300, '7'));
  EXPECT_EQ(address.substr(0, 5), "12C81");
  EXPECT_EQ(address.size(), 3u + 2u + 300u);
}

// ---- numbers as the user types them ----------------------------------------

TEST(ParseNumber, AcceptsWholeNumbersInEitherNotation) {
  struct Case {
    std::string text;
    std::optional<double> value;
  };
  const std::vector<Case> cases = {
      {"12", 12.0},
      {"12.5", 12.5},
      {"12,5", 12.5},
      {"-3", -3.0},
      {"+4", 4.0},
      {".5", 0.5},
      {",5", 0.5},
      {"5.", 5.0},
      {"0", 0.0},
      {"1e3", 1000.0},
      {"1,5E-1", 0.15},
      {"", std::nullopt},
      {"abc", std::nullopt},
      {"12abc", std::nullopt},
      {"1,2,3", std::nullopt},
      {"1.2.3", std::nullopt},
      {" ", std::nullopt},
      {",", std::nullopt},
      {"-", std::nullopt},
      {"1 2", std::nullopt},
      {"1e", std::nullopt},
      {"0x10", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(FormatNumber, ShortestPlainDecimalText) {
  struct Case {
    double value;
    char separator;
    std::string text;
  };
  const std::vector<Case> cases = {
      {0, '.', "0"},
      {-0.0, '.', "0"},
      {100, '.', "100"},
      {27, '.', "27"},
      {49.8, '.', "49.8"},
      {12.5, ',', "12,5"},
      {-0.5, ',', "-0,5"},
      {0.1, '.', "0.1"},
      {1e21, '.', "1000000000000000000000"},
      {1.5e-7, ',', "0,00000015"},
      {65472, ',', "65472"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.value, c.separator), c.text) << c.value;
}

TEST(NormalizeNumber, CutsClampsAndKeepsTheNotation) {
  struct Case {
    std::string text;
    double lower, upper;
    int decimals;
    char separator;
    std::string result;
  };
  const std::vector<Case> cases = {
      // power-save minutes and hours
      {"abc", 0, 59, 0, '.', "0"},
      {"12abc", 0, 59, 0, '.', "12"},
      {"75", 0, 59, 0, '.', "59"},
      {"", 0, 59, 0, '.', "0"},
      {"-3", 0, 465, 0, '.', "0"},
      {"465", 0, 465, 0, '.', "465"},
      {"466", 0, 465, 0, '.', "465"},
      {"30.9", 0, 59, 0, '.', "30"},
      {"007", 0, 59, 0, '.', "7"},
      {"  12", 0, 59, 0, '.', "12"},
      // pulse length
      {"0,05", 0.1, 25.5, 1, ',', "0,1"},
      {"0.05", 0.1, 25.5, 1, '.', "0.1"},
      {"2", 0.1, 25.5, 1, ',', "2"},
      {"2,50", 0.1, 25.5, 1, ',', "2,5"},
      {"2.5", 0.1, 25.5, 1, ',', "2,5"},
      {"30", 0.1, 25.5, 1, '.', "25.5"},
      // the numeric prefix is read with a decimal point only
      {"2.5s", 0.1, 25.5, 1, ',', "2,5"},
      {"2,5s", 0.1, 25.5, 1, ',', "2"},
      // cut toward zero, not rounded, without losing a tenth to binary error
      {"12.37", -1000, 1000, 1, '.', "12.3"},
      {"-0.55", -1000, 1000, 1, '.', "-0.5"},
      {"2.3", -1000, 1000, 1, '.', "2.3"},
      {"4.35", -1000, 1000, 1, '.', "4.3"},
      {"0.29", -1000, 1000, 1, '.', "0.2"},
      {"-0.04", -1000, 1000, 1, '.', "0"},
      {"49.99", 0, 100, 1, '.', "49.9"},
      // below the lower limit is checked on the value as typed
      {"0.09", 0.1, 25.5, 1, '.', "0.1"},
      // huge texts clamp instead of overflowing
      {"1e400", 0, 59, 0, '.', "59"},
      {"-1e400", 0, 59, 0, '.', "0"},
      {std::string(400, '9'), 0, 465, 0, '.', "465"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormalizeNumber(c.text, c.lower, c.upper, c.decimals, c.separator), c.result)
        << '"' << c.text << "\" in " << c.lower << ".." << c.upper;
  }
}

TEST(NormalizeNumber, IsStableWhenAppliedTwice) {
  for (const char* text : {"12.37", "abc", "0,05", "75", "-3", "2.3", "25.55", "13,45"}) {
    for (char sep : {'.', ','}) {
      const std::string once = NormalizeNumber(text, 0.1, 25.5, 1, sep);
      EXPECT_EQ(NormalizeNumber(once, 0.1, 25.5, 1, sep), once) << text;
    }
  }
}

TEST(RoundHalfUp, MultipliesInDoubleThenRoundsHalfUp) {
  struct Case {
    double a, x;
    int decimals;
    double result;
  };
  const std::vector<Case> cases = {
      {50, 2.55, 0, 127},  // 127.4999... in double
      {50.2, 2.55, 0, 128},
      {5, 2.55, 0, 13},  // 12.75
      {1, 0.5, 0, 1},    // exactly half goes up
      {0.25, 1, 1, 0.3},
      {127, 100.0 / 255, 1, 49.8},
      {255, 100.0 / 255, 1, 100},
      {0, 2.55, 0, 0},
      {-1.7, 1, 0, -1},  // negatives are only truncated
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(RoundHalfUp(c.a, c.x, c.decimals), c.result) << c.a << '*' << c.x;
}

// ---- analog codes -----------------------------------------------------------

const AnalogScale kPercent{0, 100, 1, "%"};
const AnalogScale kBattery{0, 27, 1, "V"};

TEST(AnalogCodes, WorkedLevelsAndHystereses) {
  struct Case {
    const AnalogScale* scale;
    bool hysteresis;
    std::string text;
    int code;
    double shown;
  };
  const std::vector<Case> cases = {
      {&kPercent, false, "50", 127, 49.8},   {&kPercent, false, "50.2", 128, 50.2},
      {&kPercent, false, "50,2", 128, 50.2}, {&kPercent, false, "100", 255, 100},
      {&kPercent, false, "150", 255, 100},   {&kPercent, false, "abc", 0, 0},
      {&kPercent, false, "-5", 0, 0},        {&kBattery, false, "12", 113, 12},
      {&kBattery, false, "12.5", 118, 12.5}, {&kBattery, false, "12,5", 118, 12.5},
      {&kBattery, false, "30", 255, 27},     {&kPercent, true, "5", 13, 5.1},
      {&kPercent, true, "80", 127, 49.8},    {&kPercent, true, "0", 0, 0},
      {&kBattery, true, "1", 9, 1},          {&kBattery, true, "20", 128, 13.5},
  };
  for (const auto& c : cases) {
    const int code = c.hysteresis ? HysteresisToCode(*c.scale, c.text) : LevelToCode(*c.scale, c.text);
    EXPECT_EQ(code, c.code) << c.text << " on 0.." << c.scale->Max;
    const double shown = c.hysteresis ? CodeToHysteresis(*c.scale, static_cast<std::uint8_t>(code))
                                      : CodeToLevel(*c.scale, static_cast<std::uint8_t>(code));
    EXPECT_DOUBLE_EQ(shown, c.shown) << c.text << " on 0.." << c.scale->Max;
  }
}

TEST(AnalogCodes, EndsOfEveryDefaultScale) {
  for (const AnalogScale& s : BuildAnalogScales()) {
    EXPECT_EQ(LevelToCode(s, FormatNumber(s.Max, '.')), 255) << s.Max;
    EXPECT_EQ(LevelToCode(s, FormatNumber(s.Min, '.')), 0) << s.Min;
    EXPECT_DOUBLE_EQ(CodeToLevel(s, 255), s.Max);
    EXPECT_DOUBLE_EQ(CodeToLevel(s, 0), s.Min);
    EXPECT_LE(HysteresisToCode(s, "1000"), 128);
  }
}

TEST(AnalogCodes, ShownValuesLeadBackToTheirCodes) {
  // The analog editor replaces a typed level by the value of its code; typing
  // that value again must not move the level to a neighbouring code.
  const AnalogScale offset{-20, 80, 1, "°C"};
  for (const AnalogScale* s : {&kPercent, &kBattery, &offset}) {
    for (int code = 0; code <= 255; ++code) {
      const auto c = static_cast<std::uint8_t>(code);
      for (char sep : {'.', ','}) {
        EXPECT_EQ(LevelToCode(*s, FormatNumber(CodeToLevel(*s, c), sep)), code) << code << " on " << s->Min;
      }
    }
    for (int code = 0; code <= 128; ++code) {
      const auto c = static_cast<std::uint8_t>(code);
      const double shown = CodeToHysteresis(*s, c);
      if (shown < (s->Max - s->Min) / 2) {
        EXPECT_EQ(HysteresisToCode(*s, FormatNumber(shown, '.')), code) << code << " on " << s->Min;
      }
    }
  }
}

TEST(AnalogCodes, LevelsOfAShiftedScaleCountFromItsMinimum) {
  const AnalogScale s{-20, 80, 1, "°C"};
  EXPECT_EQ(LevelToCode(s, "-20"), 0);
  EXPECT_EQ(LevelToCode(s, "80"), 255);
  EXPECT_EQ(LevelToCode(s, "30"), 127);
  EXPECT_DOUBLE_EQ(CodeToLevel(s, 127), 29.8);
  EXPECT_EQ(HysteresisToCode(s, "5"), 13);  // a hysteresis has no offset
}

}  // namespace
}  // namespace vexa
