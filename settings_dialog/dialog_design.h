#pragma once
// frmSSSettings as designed: its client area and its controls in twips
// (every control but pnlSSaver sits in pnlSSaver, at the client area's
// origin), and what each control shows.
#include <string_view>

#include "base/twips.h"
#include "controls/control_settings.h"

namespace salvanto {

inline constexpr std::wstring_view kDialogTitle = L"Screen Saver Settings";

inline constexpr TwipRect kClientArea{0, 0, 6225, 4440};
inline constexpr TwipRect kPnlSSaver{0, 0, 6255, 4455};
inline constexpr TwipRect kLabel7{1800, 240, 3495, 375};
inline constexpr TwipRect kLabel8{1800, 600, 2895, 375};
inline constexpr TwipRect kImage2{480, 840, 5250, 2190};
inline constexpr TwipRect kLabel9{600, 3240, 2415, 375};
inline constexpr TwipRect kSpinInterval{3120, 3240, 975, 255};
inline constexpr TwipRect kPanInterval{4080, 3240, 1410, 255};
inline constexpr TwipRect kSSCommand4{360, 3720, 1815, 375};
inline constexpr TwipRect kSSCommand6{2160, 3720, 1815, 375};
inline constexpr TwipRect kSSCommand5{3960, 3720, 1815, 375};

PanelSettings PnlSSaverSettings();
PanelSettings PanIntervalSettings();
// Set, Help and Exit.
ButtonSettings SSCommand4Settings();
ButtonSettings SSCommand5Settings();
ButtonSettings SSCommand6Settings();
LabelSettings Label7Settings();
LabelSettings Label8Settings();
LabelSettings Label9Settings();

// The spin button's tooltip and what a screen reader calls its arrows.
inline constexpr Colour kSpinArrows = Rgb(0, 0, 255);
inline constexpr Colour kSpinFace = Rgb(192, 192, 192);
inline constexpr std::wstring_view kSpinToolTip = L"Set Slide Show Delay";
inline constexpr std::wstring_view kSpinDownName = L"Shorter Delay";
inline constexpr std::wstring_view kSpinUpName = L"Longer Delay";

// What a screen reader calls the photograph.
inline constexpr std::wstring_view kImage2Description = L"Photograph of a silver car";

}  // namespace salvanto
