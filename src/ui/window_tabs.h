// The tab positions of the main window's TabList, and the rows of the tables
// that can be edited.
#pragma once

#include "workspace/window_tab.h"

namespace vexa::ui {

// The window's tab positions, as QTabWidget counts them.
using Tab = WindowTab;
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
