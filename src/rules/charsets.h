// The character sets the field rules allow and the unit's own command
// keywords. Each set is an ordered string: the order is what the user sees,
// because a refused text's message ends with the set itself.
#pragma once

#include <string_view>

namespace vexa::rules {

// Printable ASCII without the double quote and without "~": input names, state
// names and transition names (93 characters, beginning with a space).
inline constexpr std::string_view NameChars =
    " `!@#$%^&*()-_=+\\|[{]};:',<.>/?0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

// Printable ASCII without the double quote: the SMS texts (94 characters,
// beginning with a space).
inline constexpr std::string_view TextChars =
    " !#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]\\^_`abcdefghijklmnopqrstuvwxyz{}|~";

// Underscore, digits and letters: output names and output commands, which the
// unit reads out of an incoming SMS.
inline constexpr std::string_view CommandChars = "_0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

inline constexpr std::string_view NumberChars = "0123456789,.";
inline constexpr std::string_view DigitChars = "0123456789";
inline constexpr std::string_view PhoneChars = "+0123456789";

// The unit's command keywords, ";" between them and none after the last. No
// input name, output name or output command may be one of them or a beginning
// of one.
inline constexpr std::string_view KeywordList = "STATE;STAV;BACK;NOBACK;RESET;SHUTDOWN;NAME;ZPET;NEZPET;JMENO";

}  // namespace vexa::rules
