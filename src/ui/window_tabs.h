// The tab positions of the main window's TabList.
#pragma once

#include <QString>
#include <iterator>

#include "texts/texts_window.h"
#include "model/window_tab.h"

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

static_assert(std::size(texts::kTabTitles) == kWindowTabCount, "a title for every tab");
// The title of a tab.
inline QString TabTitle(Tab t) { return QString::fromUtf8(texts::kTabTitles[IndexOf(t)]); }

}  // namespace vexa::ui
