// How many EEPROM bytes a configuration takes, and the space-left display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/values.h"
#include "model/fields.h"
#include "model/reference_tables.h"
#include "workspace/usage.h"

namespace vexa {
namespace {

bool HasRows(Family f) { return f != Family::General && f != Family::Program; }

TEST(Usage, EmptyConfigurationTakes430Bytes) {
  const DeviceConfig c;
  EXPECT_EQ(ComputeUsage(c), 430);
  const MemoryUsage u = UpdateMemoryUsage(c, "?");
  EXPECT_EQ(u.usageText, "430 byte");
}

TEST(Usage, EachCountedTextAddsItsCharacters) {
  // One character typed into a field raises the usage by what that field
  // costs in the image; fields kept in the fixed part cost nothing.
  for (int i = 0; i < kFieldCount; ++i) {
    const auto f = static_cast<Field>(i);
    const FieldInfo& info = InfoOf(f);
    if (info.kind != FieldKind::Text) continue;
    const int rows = HasRows(info.family) ? kRows : 1;
    for (int r = 0; r < rows; ++r) {
      DeviceConfig c;
      ProgramSettings s;
      const int before = ComputeUsage(c);
      *TextOf(c, s, {f, r}) += "5";
      int expected = 0;
      if (info.counted) {
        expected = 1;
        if (f == Field::TC) expected = 6;  // address "0181F5" and its terminator instead of a lone terminator
        if (f == Field::rtBattLow || (f == Field::AINCL1Dn && r == kBatteryRow)) expected = 2;
      }
      EXPECT_EQ(ComputeUsage(c) - before, expected) << FieldDisplayName({f, r});
    }
  }
}

TEST(Usage, PhoneNumbersCountAsTheirStoredAddress) {
  struct Case {
    std::string number;
    int bytes;
  };
  const std::vector<Case> cases = {
      {"", 1},
      {"+", 1},  // stored as an empty entry
      {"+420602123456", 17},
      {"420602123456", 17},
      {"+42060212345", 17},  // an odd count is padded
      {"603123", 11},
      {"5", 7},
      {"+123456789012345", 21},
      {"+1234567890123456", 21},
      {std::string(50, '1'), 55},
      {std::string(255, '1'), 261},
      {std::string(300, '1'), 306},  // a three-digit count
  };
  for (const auto& c : cases) {
    for (int row : {0, 7}) {
      DeviceConfig config;
      config.phones[row].TC = c.number;
      EXPECT_EQ(ComputeUsage(config) - 430 + 1, c.bytes) << '"' << c.number << "\" in row " << row;
    }
    // The usage agrees with the address text that goes into the image.
    if (c.number.size() > 1) {
      EXPECT_EQ(static_cast<int>(EncodePhoneNumber(c.number).size()) + 1, c.bytes) << c.number;
    }
  }
}

TEST(Usage, TextsAreCountedInCharactersNotUtf8Bytes) {
  DeviceConfig c;
  c.general.JmenoStanice = "Čerpací stanice – vrt 2";  // 23 characters, more UTF-8 bytes
  c.inputs[3].INPNazev = "ěščřžýáíé";
  c.rtBattLow() = "°C";
  EXPECT_EQ(ComputeUsage(c), 430 + 23 + 9 + 2 * 2);
}

TEST(Usage, EveryFieldAtItsLimit) {
  DeviceConfig c;
  ProgramSettings s;
  int expected = 430;
  for (int i = 0; i < kFieldCount; ++i) {
    const auto f = static_cast<Field>(i);
    const FieldInfo& info = InfoOf(f);
    if (info.kind != FieldKind::Text || !info.counted || f == Field::TC || f == Field::rtBattLow) continue;
    const int rows = HasRows(info.family) ? kRows : 1;
    const int length = info.maxLength > 0 ? info.maxLength : 20;
    for (int r = 0; r < rows; ++r) {
      *TextOf(c, s, {f, r}) = std::string(static_cast<std::size_t>(length), 'x');
      expected += length;
      // the battery row's CL1-down text is counted again as rtBattLow
      if (f == Field::AINCL1Dn && r == kBatteryRow) expected += length;
    }
  }
  for (auto& p : c.phones) {
    p.TC = "+" + std::string(49, '9');
    expected += 4 + 50;
  }
  EXPECT_EQ(ComputeUsage(c), expected);
}

TEST(Usage, FreeSpaceAgainstTheIdentifiedMemory) {
  struct Case {
    std::string memory;
    int extra;  // characters added to the station name
    std::string freeText;
    Rgb colour;
  };
  const std::vector<Case> cases = {
      {"?", 0, "?", kBlue},
      {"?", 20000, "?", kBlue},
      {" 16320 byte", 0, "15890 byte", kBlue},
      {" 16320 byte", 15890, "0 byte", kBlue},
      {" 16320 byte", 15891, "-1 byte", kRed},
      {"    64 byte", 0, "-366 byte", kRed},
      {"  8128 byte", 100, "7598 byte", kBlue},
      {" 65472 byte", 0, "65042 byte", kBlue},
      // captions that hold no size are treated as no identified unit
      {"", 0, "?", kBlue},
      {" byte", 0, "?", kBlue},
      {"      byte", 0, "?", kBlue},
      {"12x34 byte", 0, "?", kBlue},
  };
  for (const auto& c : cases) {
    DeviceConfig config;
    config.general.JmenoStanice.assign(static_cast<std::size_t>(c.extra), 'a');
    const MemoryUsage u = UpdateMemoryUsage(config, c.memory);
    EXPECT_EQ(u.usage, 430 + c.extra);
    EXPECT_EQ(u.usageText, std::to_string(430 + c.extra) + " byte");
    EXPECT_EQ(u.freeText, c.freeText) << '"' << c.memory << "\" + " << c.extra;
    EXPECT_EQ(u.freeColour, c.colour) << '"' << c.memory << "\" + " << c.extra;
  }
}

TEST(Usage, EveryMemorySizeCaptionIsReadBack) {
  const DeviceConfig c;
  const ReferenceTables t = BuildReferenceTables();
  for (const CodeText& m : t.memorySizes) {
    const int size = (1 << (m.code + 7)) - 64;
    EXPECT_EQ(UpdateMemoryUsage(c, m.text).freeText, std::to_string(size - 430) + " byte") << m.text;
  }
}

TEST(SavedFile, UsageCoversTheEncodedImageAndTheLengthIsOneLess) {
  const DeviceConfig config;
  const long usage = ComputeUsage(config);
  const struct {
    long encoded, usage, length;
  } cases[] = {
      {0, usage, usage - 1},
      {usage - 1, usage, usage - 1},
      {usage, usage + 1, usage},  // an image longer than the figure is still saved whole
      {5000, 5001, 5000},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SavedFileUsage(config, c.encoded), c.usage) << c.encoded;
    EXPECT_EQ(SavedFileLength(SavedFileUsage(config, c.encoded)), c.length) << c.encoded;
  }
  EXPECT_EQ(SavedFileLength(1), 1);
  EXPECT_EQ(SavedFileLength(0), 1);
}

}  // namespace
}  // namespace vexa
