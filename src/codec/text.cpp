#include "codec/text.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vexa {

Utf8Char ReadUtf8Char(std::string_view s, std::size_t i) {
  constexpr char32_t kInvalid = 0xFFFD;
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
    return {kInvalid, 1, false};
  }
  std::size_t k = 1;
  for (; k <= need; ++k) {
    if (i + k >= s.size()) return {kInvalid, k, false};
    const auto b = static_cast<unsigned char>(s[i + k]);
    const unsigned char min = (k == 1) ? lo : 0x80;
    const unsigned char max = (k == 1) ? hi : 0xBF;
    if (b < min || b > max) return {kInvalid, k, false};
    ch = (ch << 6) | (b & 0x3F);
  }
  return {ch, k, true};
}

void AppendUtf8(std::string& out, char32_t ch) {
  if (ch < 0x80) {
    out.push_back(static_cast<char>(ch));
  } else if (ch < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (ch >> 6)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  } else if (ch < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (ch >> 12)));
    out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (ch >> 18)));
    out.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
  }
}

char32_t NextCharOrByte(std::string_view s, std::size_t& pos) {
  const Utf8Char c = ReadUtf8Char(s, pos);
  pos += c.size;
  return c.valid ? c.ch : kInvalidByteBase + static_cast<unsigned char>(s[pos - c.size]);
}

namespace {
// The marks that turn the direction of a text around (embeddings, overrides,
// isolates) and the line and paragraph separators.
bool TurnsTextAround(char32_t c) {
  return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029;
}
}  // namespace

std::string TerminalSafeLines(std::string_view utf8) {
  std::string out;
  for (std::size_t start = 0;;) {
    const std::size_t end = utf8.find('\n', start);
    std::string_view line = utf8.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out += TerminalSafe(line);
    if (end == std::string_view::npos) break;
    out += '\n';
    start = end + 1;
  }
  return out;
}

std::string TerminalSafe(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char c = ReadUtf8Char(utf8, i);
    if (!c.valid) {
      for (std::size_t k = 0; k < c.size; ++k) {
        const auto b = static_cast<unsigned char>(utf8[i + k]);
        out += "\\x";
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
      }
    } else if (c.ch < 0x20 || (c.ch >= 0x7F && c.ch <= 0x9F)) {
      out += "\\x";
      out += kHex[(c.ch >> 4) & 0x0F];
      out += kHex[c.ch & 0x0F];
    } else if (TurnsTextAround(c.ch)) {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c.ch >> shift) & 0x0F];
    } else {
      out.append(utf8.substr(i, c.size));
    }
    i += c.size;
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
    i += ReadUtf8Char(utf8, i).size;
    ++n;
  }
  return n;
}

std::string Utf8Left(std::string_view utf8, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t count = 0; count < n && i < utf8.size(); ++count) i += ReadUtf8Char(utf8, i).size;
  return std::string(utf8.substr(0, i));
}

namespace {

double DigitsToDouble(const std::string& digits) {
  if (digits.empty()) return 0;
  double v = 0;
  const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
  if (r.ec == std::errc::result_out_of_range) return std::numeric_limits<double>::max();
  return v;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

DecimalText ReadDecimal(std::string_view text) {
  DecimalText d;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    d.negative = text[i] == '-';
    ++i;
  }
  while (i < text.size() && IsDigit(text[i])) d.integer += text[i++];
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    ++i;
    while (i < text.size() && IsDigit(text[i])) d.fraction += text[i++];
  }
  return d;
}

double DecimalValue(std::string_view text) {
  const DecimalText d = ReadDecimal(text);
  std::string digits = d.integer.empty() ? std::string("0") : d.integer;
  if (!d.fraction.empty()) digits += "." + d.fraction;
  const double v = DigitsToDouble(digits);
  return d.negative ? -v : v;
}

double ParseDecimalExact(std::string_view text) {
  const DecimalText d = ReadDecimal(text);
  // Cut in decimal: the integer digits and the first decimal make the count
  // of tenths, so no typed tenth is lost to binary rounding.
  std::string digits = d.integer;
  digits += d.fraction.empty() ? '0' : d.fraction[0];
  double tenths = DigitsToDouble(digits);
  if (d.negative) {
    const bool cutAway = d.fraction.size() > 1 && d.fraction.find_first_not_of('0', 1) != std::string::npos;
    if (cutAway) tenths += 1;  // toward minus infinity
    tenths = -tenths;
  }
  return tenths / 10.0;
}

float ParseDecimal(std::string_view text) {
  const double v = ParseDecimalExact(text);
  constexpr double kFloatMax = std::numeric_limits<float>::max();
  if (v > kFloatMax) return std::numeric_limits<float>::max();
  if (v < -kFloatMax) return std::numeric_limits<float>::lowest();
  return static_cast<float>(v);
}

}  // namespace vexa
