#include "codec/cp1250.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "texts/texts.h"

namespace vexa {
namespace {

// Characters of the bytes 0x80..0xFF; the bytes below 0x80 are ASCII.
constexpr std::array<char32_t, 128> kUpperHalf{
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 0x98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // 0xA8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // 0xB8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // 0xC0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // 0xC8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // 0xD0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // 0xD8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // 0xE0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // 0xE8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // 0xF0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // 0xF8
};

struct Reverse {
  char32_t ch;
  unsigned char byte;
};

// The upper-half characters sorted by character, for the way back.
constexpr auto kReverse = [] {
  std::array<Reverse, 128> r{};
  for (std::size_t i = 0; i < kUpperHalf.size(); ++i) r[i] = {kUpperHalf[i], static_cast<unsigned char>(0x80 + i)};
  std::sort(r.begin(), r.end(), [](const Reverse& a, const Reverse& b) { return a.ch < b.ch; });
  return r;
}();

// The letters of the code page with accents: upper case (0 when there is
// none), lower case and the plain form of the lower case.
struct Letter {
  char32_t upper;
  char32_t lower;
  const char* plain;
};
constexpr Letter kLetters[] = {
    {U'Á', U'á', "a"}, {U'Ä', U'ä', "a"}, {U'Ă', U'ă', "a"}, {U'Â', U'â', "a"}, {U'Ą', U'ą', "a"}, {U'Č', U'č', "c"},
    {U'Ć', U'ć', "c"}, {U'Ç', U'ç', "c"}, {U'Ď', U'ď', "d"}, {U'Đ', U'đ', "d"}, {U'É', U'é', "e"}, {U'Ě', U'ě', "e"},
    {U'Ë', U'ë', "e"}, {U'Ę', U'ę', "e"}, {U'Í', U'í', "i"}, {U'Î', U'î', "i"}, {U'Ĺ', U'ĺ', "l"}, {U'Ľ', U'ľ', "l"},
    {U'Ł', U'ł', "l"}, {U'Ň', U'ň', "n"}, {U'Ń', U'ń', "n"}, {U'Ó', U'ó', "o"}, {U'Ö', U'ö', "o"}, {U'Ô', U'ô', "o"},
    {U'Ő', U'ő', "o"}, {U'Ř', U'ř', "r"}, {U'Ŕ', U'ŕ', "r"}, {U'Š', U'š', "s"}, {U'Ś', U'ś', "s"}, {U'Ş', U'ş', "s"},
    {0, U'ß', "ss"},   {U'Ť', U'ť', "t"}, {U'Ţ', U'ţ', "t"}, {U'Ú', U'ú', "u"}, {U'Ů', U'ů', "u"}, {U'Ü', U'ü', "u"},
    {U'Ű', U'ű', "u"}, {U'Ý', U'ý', "y"}, {U'Ž', U'ž', "z"}, {U'Ź', U'ź', "z"}, {U'Ż', U'ż', "z"},
};

// The plain forms of the upper-case letters, in the order of kLetters.
constexpr auto kPlainUpper = [] {
  std::array<std::array<char, 3>, std::size(kLetters)> r{};
  for (std::size_t i = 0; i < std::size(kLetters); ++i) {
    for (std::size_t k = 0; kLetters[i].plain[k] != '\0'; ++k) r[i][k] = static_cast<char>(kLetters[i].plain[k] - 32);
  }
  return r;
}();

std::optional<char> ToCp1250(char32_t ch) {
  if (ch < 0x80) return static_cast<char>(ch);
  auto it =
      std::lower_bound(kReverse.begin(), kReverse.end(), ch, [](const Reverse& r, char32_t c) { return r.ch < c; });
  if (it != kReverse.end() && it->ch == ch) return static_cast<char>(it->byte);
  return std::nullopt;
}

std::u32string Decoded(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) out.push_back(NextCharOrByte(s, pos));
  return out;
}

}  // namespace

std::optional<std::string> Utf8ToCp1250(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char d = ReadUtf8Char(utf8, i);
    const std::optional<char> byte = d.valid ? ToCp1250(d.ch) : std::nullopt;
    if (!byte) return std::nullopt;
    out.push_back(*byte);
    i += d.size;
  }
  return out;
}

std::string_view Cp1250Characters() {
  static const std::string all = [] {
    std::string bytes;
    for (int b = 1; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    return Cp1250ToUtf8(bytes);
  }();
  return all;
}

std::string RefusedChars(std::string_view text, std::string_view allowed, std::size_t* count) {
  const std::u32string set = Decoded(allowed);
  std::u32string refused;
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t c = NextCharOrByte(text, pos);
    if (set.find(c) == std::u32string::npos && refused.find(c) == std::u32string::npos) refused.push_back(c);
  }
  if (count != nullptr) *count = refused.size();
  std::string list;
  for (const char32_t c : refused) {
    if (!list.empty()) list += ", ";
    char code[32];
    if (c >= kInvalidByteBase) {
      std::snprintf(code, sizeof code, texts::kRefusedByteFormat, static_cast<unsigned>(c - kInvalidByteBase));
      list += code;
    } else if (c == U' ') {
      list += texts::kRefusedSpace;
    } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
      std::snprintf(code, sizeof code, texts::kRefusedControlFormat, static_cast<unsigned>(c));
      list += code;
    } else {
      list += texts::kQuoteOpen;
      AppendUtf8(list, c);
      list += texts::kQuoteClose;
    }
  }
  return list;
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

char32_t Cp1250LowerCase(char32_t ch) {
  if (ch < 0x80) return ch >= U'A' && ch <= U'Z' ? ch + 32 : ch;
  for (const Letter& l : kLetters) {
    if (l.upper == ch) return l.lower;
  }
  return ch;
}

std::string_view Cp1250PlainLetter(char32_t ch) {
  if (ch < 0x80) return {};
  for (std::size_t i = 0; i < std::size(kLetters); ++i) {
    if (kLetters[i].lower == ch) return kLetters[i].plain;
    if (kLetters[i].upper == ch) return kPlainUpper[i].data();
  }
  return {};
}

}  // namespace vexa
