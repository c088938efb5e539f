// The tabs of the main window's TabList, in their order, and the rows of the
// tables that can be edited.
#pragma once

namespace vexa::ui {

enum class Tab : int {
  Vseobecne,   // "Všeobecné"
  SmsZpravy,   // "SMS zprávy"
  DigVstupy,   // "Dig. vstupy"
  DigVystupy,  // "Dig. výstupy"
  Analog14,    // "Analog. vstupy 1-4"
  Analog58,    // "Analog. vstupy 5-8"
  TelCisla,    // "Tel. čísla"
};

// The tab numbers as the field rules and TabList count them.
constexpr int IndexOf(Tab t) { return static_cast<int>(t); }
inline constexpr int kTabVseobecne = IndexOf(Tab::Vseobecne);
inline constexpr int kTabSmsZpravy = IndexOf(Tab::SmsZpravy);
inline constexpr int kTabDigVstupy = IndexOf(Tab::DigVstupy);
inline constexpr int kTabDigVystupy = IndexOf(Tab::DigVystupy);
inline constexpr int kTabAnalog14 = IndexOf(Tab::Analog14);
inline constexpr int kTabAnalog58 = IndexOf(Tab::Analog58);
inline constexpr int kTabTelCisla = IndexOf(Tab::TelCisla);

// Rows of the tables that can be edited; the others stay disabled.
inline constexpr int kEnabledInputs = 4;   // I1..I4
inline constexpr int kEnabledOutputs = 2;  // O1, O2
inline constexpr int kEnabledAnalogs = 1;  // A1

}  // namespace vexa::ui
