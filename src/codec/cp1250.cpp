#include "codec/cp1250.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace vexa {
namespace {

constexpr char32_t kUndefined = 0xFFFD;

// Characters of the bytes 0x80..0xFF; the bytes below 0x80 are ASCII.
constexpr std::array<char32_t, 128> kUpperHalf{
    0x20AC,     kUndefined, 0x201A, kUndefined, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    kUndefined, 0x2030,     0x0160, 0x2039,     0x015A, 0x0164, 0x017D, 0x0179,  // 0x88
    kUndefined, 0x2018,     0x2019, 0x201C,     0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    kUndefined, 0x2122,     0x0161, 0x203A,     0x015B, 0x0165, 0x017E, 0x017A,  // 0x98
    0x00A0,     0x02C7,     0x02D8, 0x0141,     0x00A4, 0x0104, 0x00A6, 0x00A7,  // 0xA0
    0x00A8,     0x00A9,     0x015E, 0x00AB,     0x00AC, 0x00AD, 0x00AE, 0x017B,  // 0xA8
    0x00B0,     0x00B1,     0x02DB, 0x0142,     0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8,     0x0105,     0x015F, 0x00BB,     0x013D, 0x02DD, 0x013E, 0x017C,  // 0xB8
    0x0154,     0x00C1,     0x00C2, 0x0102,     0x00C4, 0x0139, 0x0106, 0x00C7,  // 0xC0
    0x010C,     0x00C9,     0x0118, 0x00CB,     0x011A, 0x00CD, 0x00CE, 0x010E,  // 0xC8
    0x0110,     0x0143,     0x0147, 0x00D3,     0x00D4, 0x0150, 0x00D6, 0x00D7,  // 0xD0
    0x0158,     0x016E,     0x00DA, 0x0170,     0x00DC, 0x00DD, 0x0162, 0x00DF,  // 0xD8
    0x0155,     0x00E1,     0x00E2, 0x0103,     0x00E4, 0x013A, 0x0107, 0x00E7,  // 0xE0
    0x010D,     0x00E9,     0x0119, 0x00EB,     0x011B, 0x00ED, 0x00EE, 0x010F,  // 0xE8
    0x0111,     0x0144,     0x0148, 0x00F3,     0x00F4, 0x0151, 0x00F6, 0x00F7,  // 0xF0
    0x0159,     0x016F,     0x00FA, 0x0171,     0x00FC, 0x00FD, 0x0163, 0x02D9,  // 0xF8
};

struct Reverse {
  char32_t ch;
  unsigned char byte;
};

// The defined upper-half characters sorted by character, for the way back.
constexpr auto kReverse = [] {
  std::array<Reverse, 123> r{};
  std::size_t n = 0;
  for (std::size_t i = 0; i < kUpperHalf.size(); ++i) {
    if (kUpperHalf[i] != kUndefined) r[n++] = {kUpperHalf[i], static_cast<unsigned char>(0x80 + i)};
  }
  std::sort(r.begin(), r.end(), [](const Reverse& a, const Reverse& b) { return a.ch < b.ch; });
  return r;
}();

struct Decoded {
  char32_t ch;       // kUndefined (with valid == false) for a malformed sequence
  std::size_t size;  // bytes taken, at least 1
  bool valid;
};

// Decodes one character at s[i]. A malformed sequence is taken as its longest
// well-formed beginning (at least one byte) and reported invalid.
Decoded DecodeOne(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) return {b0, 1, true};
  std::size_t need = 0;
  char32_t ch = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
    ch = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2;
    ch = b0 & 0x0F;
    if (b0 == 0xE0) lo = 0xA0;  // no overlong forms
    if (b0 == 0xED) hi = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3;
    ch = b0 & 0x07;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    return {kUndefined, 1, false};
  }
  std::size_t k = 1;
  for (; k <= need; ++k) {
    if (i + k >= s.size()) return {kUndefined, k, false};
    const auto b = static_cast<unsigned char>(s[i + k]);
    const unsigned char min = (k == 1) ? lo : 0x80;
    const unsigned char max = (k == 1) ? hi : 0xBF;
    if (b < min || b > max) return {kUndefined, k, false};
    ch = (ch << 6) | (b & 0x3F);
  }
  return {ch, k, true};
}

char ToCp1250(char32_t ch) {
  if (ch < 0x80) return static_cast<char>(ch);
  auto it =
      std::lower_bound(kReverse.begin(), kReverse.end(), ch, [](const Reverse& r, char32_t c) { return r.ch < c; });
  if (it != kReverse.end() && it->ch == ch) return static_cast<char>(it->byte);
  return '?';
}

void AppendUtf8(std::string& out, char32_t ch) {
  if (ch < 0x80) {
    out.push_back(static_cast<char>(ch));
  } else if (ch < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
    out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  }
}

}  // namespace

std::string Utf8ToCp1250(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const Decoded d = DecodeOne(utf8, i);
    out.push_back(d.valid ? ToCp1250(d.ch) : '?');
    i += d.size;
  }
  return out;
}

std::string Cp1250ToUtf8(std::string_view cp1250) {
  std::string out;
  out.reserve(cp1250.size() * 2);
  for (char c : cp1250) {
    const auto b = static_cast<unsigned char>(c);
    AppendUtf8(out, b < 0x80 ? char32_t{b} : kUpperHalf[b - 0x80]);
  }
  return out;
}

std::size_t Utf8Length(std::string_view utf8) {
  std::size_t n = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    // Plain ASCII is by far the common case: take it eight bytes at a time.
    std::uint64_t word;
    while (utf8.size() - i >= sizeof word) {
      std::memcpy(&word, utf8.data() + i, sizeof word);
      if ((word & 0x8080808080808080ULL) != 0) break;
      i += sizeof word;
      n += sizeof word;
    }
    if (i >= utf8.size()) break;
    i += static_cast<unsigned char>(utf8[i]) < 0x80 ? 1 : DecodeOne(utf8, i).size;
    ++n;
  }
  return n;
}

std::string Utf8Left(std::string_view utf8, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t count = 0; count < n && i < utf8.size(); ++count) {
    i += static_cast<unsigned char>(utf8[i]) < 0x80 ? 1 : DecodeOne(utf8, i).size;
  }
  return std::string(utf8.substr(0, i));
}

}  // namespace vexa
