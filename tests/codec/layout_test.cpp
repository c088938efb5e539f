// The image layout: header checksum and test, pointer table, text area and the
// bytes the program must leave alone.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "codec/encoder.h"
#include "codec/header.h"
#include "codec/layout.h"
#include "workspace/workspace.h"

namespace vexa {
namespace {

std::vector<int> BytesAt(const EepromImage& im, long from, long count) {
  return {im.data() + from, im.data() + from + count};
}

// A configuration with every text empty (the start-up one has no texts).
DeviceConfig EmptyConfig() { return Workspace().config; }

TEST(HeaderChecksum, SumsBytes0To47PlusOneAndAvoidsCarriageReturn) {
  struct Case {
    std::vector<std::pair<long, std::uint8_t>> bytes;
    std::uint8_t expected;
  };
  const std::vector<Case> cases = {
      {{}, 0x01},                   // nothing set: 0 + 1
      {{{0, 0xFF}}, 0x00},          // wraps modulo 256
      {{{0, 11}}, 12},              // 11 + 1 = 12 stays 12
      {{{0, 12}}, 12},              // 12 + 1 = 13 would be CR: stored as 12
      {{{5, 200}, {47, 68}}, 12},   // 268 + 1 = 269 = 13 mod 256: stored as 12
      {{{47, 255}, {46, 14}}, 14},  // 269 + 1 = 270 = 14 mod 256
      {{{48, 99}, {49, 7}}, 0x01},  // bytes from 48 on are not summed
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EepromImage im;
    for (auto [offset, value] : cases[i].bytes) im.WriteByte(value, offset);
    EXPECT_EQ(HeaderChecksum(im), cases[i].expected) << "case " << i;
  }
}

// An image whose header passes the test.
EepromImage ValidHeader() {
  EepromImage im;
  im.WriteWord(0x2582, 46);
  im.WriteByte(HeaderChecksum(im), 48);
  return im;
}

TEST(IsImageValid, NeedsMagicAndChecksum) {
  EXPECT_FALSE(IsImageValid(EepromImage()));  // all zeros: no magic
  EXPECT_TRUE(IsImageValid(ValidHeader()));

  // A header summing to 12: checksum 13 is stored as 12 and accepted.
  EepromImage twelve;
  twelve.WriteWord(0x2582, 46);
  twelve.WriteByte(static_cast<std::uint8_t>(12 - 0x82 - 0x25 + 512), 0);
  ASSERT_EQ(std::accumulate(twelve.data(), twelve.data() + 48, 0) % 256, 12);
  twelve.WriteByte(12, 48);
  EXPECT_TRUE(IsImageValid(twelve));
  twelve.WriteByte(13, 48);
  EXPECT_FALSE(IsImageValid(twelve));

  // Right checksum, wrong magic.
  EepromImage wrongMagic;
  wrongMagic.WriteWord(0x2583, 46);
  wrongMagic.WriteByte(HeaderChecksum(wrongMagic), 48);
  EXPECT_FALSE(IsImageValid(wrongMagic));
  EepromImage swapped;  // magic stored big-endian
  swapped.WriteWord(0x8225, 46);
  swapped.WriteByte(HeaderChecksum(swapped), 48);
  EXPECT_FALSE(IsImageValid(swapped));
}

TEST(IsImageValid, AnyChangedHeaderByteIsDetectedButNotOneOutside) {
  Workspace ws;
  ASSERT_TRUE(EncodeImage(ws));
  for (long offset = 0; offset <= 48; ++offset) {
    EepromImage im = ws.image;
    im.WriteByte(static_cast<std::uint8_t>(im.data()[offset] ^ 0x10), offset);
    EXPECT_FALSE(IsImageValid(im)) << "offset " << offset;
  }
  for (long offset : {49L, 127L, 128L, 300L, 65535L}) {
    EepromImage im = ws.image;
    im.WriteByte(static_cast<std::uint8_t>(im.data()[offset] ^ 0x10), offset);
    EXPECT_TRUE(IsImageValid(im)) << "offset " << offset;
  }
}

TEST(Layout, EmptyConfigurationHeaderBytes) {
  EepromImage im;
  long used = 0;
  ASSERT_TRUE(EncodeImage(EmptyConfig(), Workspace().scales, im, &used));
  const std::vector<int> expected = {0x10, 0x01, 0x18, 0x01, 0x20, 0x01, 0x00, 0x00, 0x28, 0x01, 0x30, 0x01, 0x38,
                                     0x01, 0x40, 0x01, 0x48, 0x01, 0x50, 0x01, 0x58, 0x01, 0x60, 0x01, 0x68, 0x01,
                                     0x70, 0x01, 0x78, 0x01, 0x80, 0x01, 0x88, 0x01, 0x90, 0x01, 0x98, 0x01, 0xA2,
                                     0x01, 0x9A, 0x01, 0x40, 0x00, 0x00, 0x00, 0x82, 0x25, 0x20};
  EXPECT_EQ(BytesAt(im, 0, 49), expected);
  EXPECT_EQ(std::accumulate(im.data(), im.data() + 48, 0), 2079);
  EXPECT_EQ(used, 428);
  EXPECT_EQ(UsedLength(im), 428);
  EXPECT_EQ(BytesAt(im, 272, 154), std::vector<int>(154, 0));
  EXPECT_EQ(BytesAt(im, 426, 2), (std::vector<int>{0xFF, 0xFF}));
  EXPECT_TRUE(IsImageValid(im));
}

TEST(Layout, WorkedExampleOfTheTextArea) {
  DeviceConfig c = EmptyConfig();
  c.inputs[0].INPNazev = "Dvere";
  c.inputs[1].INPNazev = "Okno";
  EepromImage im;
  ASSERT_TRUE(EncodeImage(c, Workspace().scales, im));
  EXPECT_EQ(im.ReadWord(0), 272);
  EXPECT_EQ(BytesAt(im, 272, 6), (std::vector<int>{'D', 'v', 'e', 'r', 'e', 0}));
  EXPECT_EQ(BytesAt(im, 278, 5), (std::vector<int>{'O', 'k', 'n', 'o', 0}));
  EXPECT_EQ(BytesAt(im, 283, 6), std::vector<int>(6, 0));
  EXPECT_EQ(im.ReadWord(2), 289);
}

TEST(Layout, BytesTheProgramDoesNotOwnSurviveAnEncode) {
  Workspace ws;
  for (long o = 0; o < kImageSize; ++o) ws.image.WriteByte(static_cast<std::uint8_t>(o * 37 + 11), o);
  const EepromImage before = ws.image;
  ws.config.inputs[0].INPNazev = "Dvere";
  long used = 0;
  ASSERT_TRUE(EncodeImage(ws, &used));
  std::vector<std::pair<long, long>> untouched = {{6, 7}, {44, 45}, {49, 127}, {191, 239}, {257, 271}};
  untouched.push_back({used, kImageSize - 1});
  for (auto [from, to] : untouched) {
    for (long o = from; o <= to; ++o) ASSERT_EQ(ws.image.data()[o], before.data()[o]) << "offset " << o;
  }
}

TEST(ImageWalk, StringsAndPhoneEntriesStopAtTheImageEnd) {
  EepromImage im;
  long pos = kImageSize - 3;
  EXPECT_TRUE(WriteImageString(im, pos, "ab"));
  EXPECT_EQ(pos, kImageSize);
  pos = kImageSize - 2;
  EXPECT_FALSE(WriteImageString(im, pos, "ab"));  // no room for the terminator
  EXPECT_EQ(pos, kImageSize - 2);
  pos = 300;
  EXPECT_FALSE(WriteImageString(im, pos, std::string("a\0b", 3)));

  for (long o = kImageSize - 10; o < kImageSize; ++o) im.WriteByte('x', o);
  pos = kImageSize - 10;
  EXPECT_FALSE(ReadImageString(im, pos, nullptr));  // no terminator before the end

  struct Case {
    std::string bytes;  // placed at the end of the image
    bool ok;
  };
  const std::vector<Case> phones = {
      {std::string("\0", 1), true},
      {"0691061332\0", true},   // 603123, count 6
      {"069106133", false},     // a digit pair short of its count
      {"0", false},             // count cut in half
      {"G691061332\0", false},  // count not hexadecimal
      {"00", true},             // a count of 0 is a complete entry of two characters
  };
  for (const auto& c : phones) {
    EepromImage p;
    const long start = kImageSize - static_cast<long>(c.bytes.size());
    std::copy(c.bytes.begin(), c.bytes.end(), p.data() + start);
    long at = start;
    std::string address;
    EXPECT_EQ(ReadPhoneEntry(p, at, &address), c.ok) << c.bytes;
  }
}

}  // namespace
}  // namespace vexa
