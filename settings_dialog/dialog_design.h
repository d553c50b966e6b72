#pragma once
// frmSSSettings as designed: its client area and its controls in twips
// (every control but pnlSSaver sits in pnlSSaver, at the client area's
// origin), and what each control shows.
#include <string>
#include <string_view>
#include <utility>

#include "base/twips.h"
#include "controls/control_settings.h"
#include "settings_dialog/delay.h"

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

inline constexpr Colour kWhite = Rgb(255, 255, 255);
inline constexpr Colour kRed = Rgb(255, 0, 0);
inline constexpr Colour kNavy = Rgb(0, 0, 128);
inline constexpr Colour kBlack = Rgb(0, 0, 0);
inline constexpr FontSpec kButtonFont{L"System", 9.75f, 700};
inline constexpr FontSpec kHeadingFont{L"MS Sans Serif", 12.0f, 700};

inline PanelSettings PnlSSaverSettings() {
  return {.Caption = L"",
          .ForeColor = kButtonTextColour,
          .BackColor = kWhite,
          .Font = {L"MS Sans Serif", 8.25f, 400, 0},
          .BevelWidth = 6,
          .BorderWidth = 4,
          .BevelOuter = Bevel::Raised,
          .BevelInner = Bevel::None,
          .Align = Alignment::CenterMiddle};
}

// The delay display, showing the working delay.
inline PanelSettings PanIntervalSettings(std::wstring delay) {
  return {.Caption = std::move(delay),
          .ForeColor = kNavy,
          .BackColor = kWhite,
          .Font = {L"MS Sans Serif", 8.25f, 700, 0},
          .BevelWidth = 3,
          .BorderWidth = 4,
          .BevelOuter = Bevel::Inset,
          .BevelInner = Bevel::None,
          .Align = Alignment::CenterMiddle};
}

inline ButtonSettings SSCommand4Settings() { return {.Caption = L"Set", .ForeColor = kBlack, .Font = kButtonFont}; }
inline ButtonSettings SSCommand5Settings() {
  return {.Caption = L"Help", .ForeColor = kButtonTextColour, .Font = kButtonFont};
}
inline ButtonSettings SSCommand6Settings() { return {.Caption = L"Exit", .ForeColor = kBlack, .Font = kButtonFont}; }

inline LabelSettings Label7Settings() {
  return {.Caption = L"The Salvanto Anthology", .ForeColor = kRed, .BackColor = kWhite, .Font = kHeadingFont};
}
inline LabelSettings Label8Settings() {
  return {.Caption = L"Screen Saver Settings", .ForeColor = kRed, .BackColor = kWhite, .Font = kHeadingFont};
}
inline LabelSettings Label9Settings() {
  return {.Caption = L"Select the photo delay:",
          .ForeColor = kNavy,
          .BackColor = kWhite,
          .Font = {L"MS Sans Serif", 9.75f, 700}};
}

// The spin button, with its tooltip and what a screen reader calls its
// arrows; its value is the delay the display shows, which a screen reader
// reads on the spin button, since the display never has the focus.
inline SpinSettings SpinIntervalSettings(std::wstring delay) {
  return {.ForeColor = Rgb(0, 0, 255),
          .BackColor = Rgb(192, 192, 192),
          .ToolTip = L"Set Slide Show Delay",
          .DownName = L"Shorter Delay",
          .UpName = L"Longer Delay",
          .Value = std::move(delay)};
}

// What a screen reader calls the photograph.
inline constexpr std::wstring_view kImage2Description = L"Photograph of a silver car";

}  // namespace salvanto
