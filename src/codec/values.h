// Small pure conversions the image format and its neighbours rest on:
// hexadecimal pairs of the serial frames, the semi-octet phone encoding,
// number normalisation and the analog level and hysteresis codes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codec/serial_frame.h"
#include "model/device_config.h"

namespace vexa {

// The value of two hexadecimal digits (either case); nullopt when either is not one.
std::optional<std::uint8_t> HexPairToByte(char high, char low);
// Places the low-nibble digit at position and the high-nibble digit at
// position + 1 (upper case), then adds 2 to Length. False (frame unchanged)
// when position is outside 0..254.
bool AppendByteHex(SerialFrame& frame, int position, std::uint8_t value);

// "+1234567" -> "0791214365F7"; "" -> "00".
std::string EncodePhoneNumber(std::string_view number);
// "0791214365F7" -> "+1234567"; nullopt when the count is not hexadecimal.
std::optional<std::string> DecodePhoneNumber(std::string_view address);

// Reads what a user typed (decimal comma or point), cuts it to `decimals`
// places toward zero, clamps it into [lower, upper] and writes it back as a
// plain decimal text with `separator` as decimal separator.
std::string NormalizeNumber(std::string_view text, double lower, double upper, int decimals, char separator);
// The shortest decimal text of v, without trailing zeros or exponent.
std::string FormatNumber(double v, char separator);
// Reads a decimal number with "," or "." as separator; nullopt when the whole
// text is not a number in that notation.
std::optional<double> ParseNumber(std::string_view text);

double RoundHalfUp(double a, double x, int decimals);

std::uint8_t LevelToCode(const AnalogScale& s, std::string_view levelText);
double CodeToLevel(const AnalogScale& s, std::uint8_t code);
std::uint8_t HysteresisToCode(const AnalogScale& s, std::string_view hysteresisText);
double CodeToHysteresis(const AnalogScale& s, std::uint8_t code);

}  // namespace vexa
