#include "codec/values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vexa {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// 10^d as a double; exact for the small counts of decimals the program uses.
double PowerOfTen(int d) {
  if (d >= 0 && d <= 22) {
    double p = 1.0;
    for (int i = 0; i < d; ++i) p *= 10.0;
    return p;
  }
  return std::pow(10.0, d);
}

// Reads a double from the characters [first, last) that were already checked
// to form a number with '.' as separator. Out-of-range magnitudes saturate.
double ReadPlain(const char* first, const char* last) {
  double v = 0;
  auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // from_chars leaves v untouched on overflow and underflow alike; tell the
    // two apart by the exponent sign.
    bool negative = first != last && *first == '-';
    bool tiny = false;
    for (const char* p = first; p != last; ++p) {
      if (*p == 'e' || *p == 'E') {
        tiny = (p + 1 != last && p[1] == '-');
        break;
      }
    }
    if (tiny) return negative ? -0.0 : 0.0;
    return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
  }
  if (ec != std::errc()) return 0;
  return v;
}

// Length of the longest prefix of `t` (starting at `i`) that spells a number:
// optional sign, digits with at most one separator (at least one digit), and an
// optional exponent that has digits. Returns 0 when there is none.
// `anySeparator` accepts ',' as well as '.'.
std::size_t NumberSpan(std::string_view t, std::size_t i, bool anySeparator) {
  const std::size_t start = i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < t.size() && IsDigit(t[i])) ++i, ++digits;
  if (i < t.size() && (t[i] == '.' || (anySeparator && t[i] == ','))) {
    std::size_t j = i + 1;
    std::size_t fraction = 0;
    while (j < t.size() && IsDigit(t[j])) ++j, ++fraction;
    if (digits + fraction > 0) {
      i = j;
      digits += fraction;
    }
  }
  if (digits == 0) return 0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
    std::size_t expDigits = 0;
    while (j < t.size() && IsDigit(t[j])) ++j, ++expDigits;
    if (expDigits > 0) i = j;
  }
  return i - start;
}

// Converts a checked number span to a double: the separator becomes '.', a
// leading '+' is dropped (from_chars does not take it).
double SpanToDouble(std::string_view span) {
  char buffer[128] = {};
  std::string heap;
  char* out = buffer;
  if (span.size() >= sizeof buffer) {
    heap.resize(span.size());
    out = heap.data();
  }
  std::size_t n = 0;
  for (std::size_t i = 0; i < span.size(); ++i) {
    char c = span[i];
    if (i == 0 && c == '+') continue;
    out[n++] = (c == ',') ? '.' : c;
  }
  return ReadPlain(out, out + n);
}

// The value of the numeric prefix of a text, read with a decimal point only;
// leading blanks are skipped. No prefix gives 0.
double PrefixValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  std::size_t len = NumberSpan(text, i, false);
  if (len == 0) return 0;
  return SpanToDouble(text.substr(i, len));
}

// x cut toward zero to d decimals: x * 10^d rounded to 15 significant digits,
// then its fraction dropped, then divided by 10^d.
double CutToDecimals(double x, int d) {
  const double p = PowerOfTen(d);
  double scaled = x * p;
  if (!std::isfinite(scaled)) return x;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", scaled);
  double rounded = std::strtod(buffer, nullptr);
  double r = std::trunc(rounded) / p;
  if (r == 0) r = 0;  // no negative zero
  return r;
}

}  // namespace

std::optional<std::uint8_t> HexPairToByte(char high, char low) {
  int h = HexValue(high);
  int l = HexValue(low);
  if (h < 0 || l < 0) return std::nullopt;
  return static_cast<std::uint8_t>(h * 16 + l);
}

bool AppendByteHex(SerialFrame& frame, int position, std::uint8_t value) {
  if (position < 0 || position > 254) return false;
  frame.Data[static_cast<std::size_t>(position)] = static_cast<std::uint8_t>(kHexDigits[value & 0x0F]);
  frame.Data[static_cast<std::size_t>(position) + 1] = static_cast<std::uint8_t>(kHexDigits[value >> 4]);
  frame.Length = static_cast<std::int16_t>(frame.Length + 2);
  return true;
}

std::string EncodePhoneNumber(std::string_view number) {
  if (number.empty()) return "00";
  std::string_view digits = number;
  const char* type = "81";
  if (number.front() == '+') {
    digits = number.substr(1);
    type = "91";
  }
  const std::size_t n = digits.size();
  std::string out;
  out.reserve(8 + n + 1);
  // At least two count digits. More than 255 digits need a third one, which
  // no reader expects; the encoder refuses such an address.
  char count[24];
  std::snprintf(count, sizeof count, "%02zX", n);
  out.append(count);
  out.append(type);
  for (std::size_t i = 0; i < n; i += 2) {
    char first = digits[i];
    char second = (i + 1 < n) ? digits[i + 1] : 'F';
    out.push_back(second);
    out.push_back(first);
  }
  return out;
}

std::optional<std::string> DecodePhoneNumber(std::string_view address) {
  if (address.size() < 2) return std::nullopt;
  auto count = HexPairToByte(address[0], address[1]);
  if (!count) return std::nullopt;
  std::size_t n = *count;
  std::string out;
  if (address.size() >= 4 && address[2] == '9' && address[3] == '1') out.push_back('+');
  if (n % 2 != 0) ++n;
  // Only whole pairs that the text really holds are read.
  const std::size_t available = address.size() > 4 ? (address.size() - 4) / 2 : 0;
  const std::size_t pairs = std::min(n / 2, available);
  out.reserve(out.size() + pairs * 2);
  for (std::size_t k = 0; k < pairs; ++k) {
    const std::size_t at = 4 + 2 * k;
    out.push_back(address[at + 1]);
    out.push_back(address[at]);
  }
  if (!out.empty() && out.back() == 'F') out.pop_back();
  return out;
}

std::optional<double> ParseNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::size_t len = NumberSpan(text, 0, true);
  if (len == 0 || len != text.size()) return std::nullopt;
  return SpanToDouble(text);
}

std::string FormatNumber(double v, char separator) {
  if (std::isnan(v)) v = 0;
  if (std::isinf(v)) v = v > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
  if (v == 0) v = 0;  // "0", never "-0"
  // Shortest round-trip digits in plain fixed notation; the widest double
  // (about 1.8e308, or 1e-308 with its leading zeros) needs some 330 places.
  char buffer[400];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  std::string out(buffer, ptr);
  if (separator != '.') {
    for (char& c : out) {
      if (c == '.') c = separator;
    }
  }
  return out;
}

std::string NormalizeNumber(std::string_view text, double lower, double upper, int decimals, char separator) {
  double x = 0;
  if (auto parsed = ParseNumber(text)) {
    x = *parsed;
  } else {
    // Not a number as the user writes them: take what the text begins with.
    x = PrefixValue(text);
  }
  double r = CutToDecimals(x, decimals);
  if (x < lower) r = CutToDecimals(lower, decimals);
  if (x > upper) r = CutToDecimals(upper, decimals);
  return FormatNumber(r, separator);
}

double RoundHalfUp(double a, double x, int decimals) {
  const double p = PowerOfTen(decimals);
  const double f = p * (a * x);
  double l = std::trunc(f);
  if (f - l >= 0.5) l = l + 1;
  return l / p;
}

namespace {

double NormalizedValue(std::string_view text, double lower, double upper, int decimals) {
  std::string t = NormalizeNumber(text, lower, upper, decimals, '.');
  return ParseNumber(t).value_or(0.0);
}

std::uint8_t ToCode(double v) {
  if (!(v >= 0)) return 0;
  if (v >= 255) return 255;
  return static_cast<std::uint8_t>(v);
}

}  // namespace

std::uint8_t LevelToCode(const AnalogScale& s, std::string_view levelText) {
  const double F = 255.0 / (s.Max - s.Min);
  const double t = NormalizedValue(levelText, s.Min, s.Max, s.Decimals);
  return ToCode(RoundHalfUp(t - s.Min, F, 0));
}

double CodeToLevel(const AnalogScale& s, std::uint8_t code) {
  const double S = (s.Max - s.Min) / 255.0;
  const double v = RoundHalfUp(code, S, s.Decimals) + s.Min;
  return NormalizedValue(FormatNumber(v, '.'), s.Min, s.Max, s.Decimals);
}

std::uint8_t HysteresisToCode(const AnalogScale& s, std::string_view hysteresisText) {
  const double F = 255.0 / (s.Max - s.Min);
  const double t = NormalizedValue(hysteresisText, 0, (s.Max - s.Min) / 2, s.Decimals);
  return ToCode(RoundHalfUp(t, F, 0));
}

double CodeToHysteresis(const AnalogScale& s, std::uint8_t code) {
  const double S = (s.Max - s.Min) / 255.0;
  const double v = RoundHalfUp(code, S, s.Decimals);
  return NormalizedValue(FormatNumber(v, '.'), 0, (s.Max - s.Min) / 2, s.Decimals);
}

}  // namespace vexa
