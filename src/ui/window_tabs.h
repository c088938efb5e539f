// The tab positions of the main window's TabList.
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

}  // namespace vexa::ui
