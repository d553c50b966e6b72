#pragma once
// What a window's design sets on each kind of control: caption, colours,
// font, bevels. Plain data; each window's design fills it in.
#include <cstdint>
#include <string>

#include "controls/fonts.h"

namespace salvanto {

// Red, green and blue in the platform's order (0x00BBGGRR); with
// kSystemColour set, the system colour of the index in the low byte.
using Colour = std::uint32_t;
constexpr Colour Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return red | (Colour{green} << 8) | (Colour{blue} << 16);
}
inline constexpr Colour kSystemColour = 0x80000000u;
inline constexpr Colour kButtonTextColour = kSystemColour | 18;  // the system's button text

enum class Bevel { None, Inset, Raised };
enum class Alignment { LeftTop, LeftMiddle, CenterMiddle, RightMiddle };

struct PanelSettings {
  std::wstring Caption;
  Colour ForeColor = Rgb(0, 0, 0);
  Colour BackColor = Rgb(192, 192, 192);
  FontSpec Font{L"MS Sans Serif", 8.25f, 400};
  int BevelWidth = 1;   // pixels at 96 DPI
  int BorderWidth = 3;  // pixels at 96 DPI: gap between the outer and inner bevel
  Bevel BevelOuter = Bevel::Raised;
  Bevel BevelInner = Bevel::None;
  Alignment Align = Alignment::CenterMiddle;
};

struct ButtonSettings {
  std::wstring Caption;
  Colour ForeColor = kButtonTextColour;
  FontSpec Font{L"System", 9.75f, 700};
};

struct LabelSettings {
  std::wstring Caption;
  Colour ForeColor = kButtonTextColour;
  Colour BackColor = Rgb(255, 255, 255);
  FontSpec Font{L"MS Sans Serif", 8.25f, 400};
};

struct SpinSettings {
  Colour ForeColor = Rgb(0, 0, 0);        // the arrows
  Colour BackColor = Rgb(192, 192, 192);  // the arrow buttons' face
  std::wstring ToolTip;
  std::wstring DownName = L"Down";  // what the arrows are called for a screen reader
  std::wstring UpName = L"Up";
  std::wstring Value;  // its value at first
};

}  // namespace salvanto
