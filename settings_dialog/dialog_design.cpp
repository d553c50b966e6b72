#include "settings_dialog/dialog_design.h"

#include <string>

#include "settings_dialog/delay.h"

namespace salvanto {
namespace {

constexpr Colour kWhite = Rgb(255, 255, 255);
constexpr Colour kRed = Rgb(255, 0, 0);
constexpr Colour kNavy = Rgb(0, 0, 128);
constexpr Colour kBlack = Rgb(0, 0, 0);
constexpr FontSpec kButtonFont{L"System", 9.75f, 700};
constexpr FontSpec kHeadingFont{L"MS Sans Serif", 12.0f, 700};

}  // namespace

PanelSettings PnlSSaverSettings() {
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

PanelSettings PanIntervalSettings() {
  return {.Caption = std::wstring(kOpeningCaption),
          .ForeColor = kNavy,
          .BackColor = kWhite,
          .Font = {L"MS Sans Serif", 8.25f, 700, 0},
          .BevelWidth = 3,
          .BorderWidth = 4,
          .BevelOuter = Bevel::Inset,
          .BevelInner = Bevel::None,
          .Align = Alignment::CenterMiddle};
}

ButtonSettings SSCommand4Settings() { return {.Caption = L"Set", .ForeColor = kBlack, .Font = kButtonFont}; }
ButtonSettings SSCommand5Settings() {
  return {.Caption = L"Help", .ForeColor = kButtonTextColour, .Font = kButtonFont};
}
ButtonSettings SSCommand6Settings() { return {.Caption = L"Exit", .ForeColor = kBlack, .Font = kButtonFont}; }

LabelSettings Label7Settings() {
  return {.Caption = L"The Salvanto Anthology", .ForeColor = kRed, .BackColor = kWhite, .Font = kHeadingFont};
}
LabelSettings Label8Settings() {
  return {.Caption = L"Screen Saver Settings", .ForeColor = kRed, .BackColor = kWhite, .Font = kHeadingFont};
}
LabelSettings Label9Settings() {
  return {.Caption = L"Select the photo delay:",
          .ForeColor = kNavy,
          .BackColor = kWhite,
          .Font = {L"MS Sans Serif", 9.75f, 700}};
}

}  // namespace salvanto
