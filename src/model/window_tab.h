// The tabs of the main window, in their order: the tab a failing field rule
// brings to the front, the tab a workflow shows, the window's tab list.
#pragma once

namespace vexa {

enum class WindowTab : int {
  Vseobecne,   // "Všeobecné"
  SmsZpravy,   // "SMS zprávy"
  DigVstupy,   // "Dig. vstupy"
  DigVystupy,  // "Dig. výstupy"
  Analog14,    // "Analog. vstupy 1-4"
  Analog58,    // "Analog. vstupy 5-8"
  TelCisla,    // "Tel. čísla"
};
inline constexpr int kWindowTabCount = 7;

// The tab's position in the window's tab list.
constexpr int IndexOf(WindowTab t) { return static_cast<int>(t); }

// The analog rows split over two tabs: A1..A4, then A5..A7 and BAT.
constexpr WindowTab AnalogTabOf(int row) { return row < 4 ? WindowTab::Analog14 : WindowTab::Analog58; }

}  // namespace vexa
