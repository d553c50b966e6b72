#pragma once
// The 3-D panel: a container with a caption, colours, a font and classic
// bevels. It handles no event of its own and takes every mouse message over
// it, bevels included, so that nothing beneath it sees them. Its window text
// is its caption.
#include <windows.h>

#include <string>

#include "slideshow/layout.h"
#include "startup/win/handles.h"
#include "startup/win/window.h"

namespace salvanto::win {

// A colour with this bit set names a system colour (COLOR_xxx in the low byte).
inline constexpr COLORREF kSystemColour = 0x80000000u;
inline constexpr COLORREF kButtonTextColour = kSystemColour | COLOR_BTNTEXT;
COLORREF ResolveColour(COLORREF colour);

enum class Bevel { None, Inset, Raised };
enum class Alignment { LeftTop, LeftMiddle, CenterMiddle, RightMiddle };

struct FontSpec {
  const wchar_t* face;
  float points;
  int weight;       // 400 regular, 700 bold
  int charset = 0;  // ANSI
};

// A font at the display's density: points become pixels through its DPI.
unique_hfont MakeFont(const FontSpec& spec, int dpi);

struct PanelSettings {
  std::wstring Caption;
  COLORREF ForeColor = RGB(0, 0, 0);
  COLORREF BackColor = RGB(192, 192, 192);
  FontSpec Font{L"MS Sans Serif", 8.25f, 400};
  int BevelWidth = 1;   // pixels at 96 DPI
  int BorderWidth = 3;  // pixels at 96 DPI: gap between the outer and inner bevel
  Bevel BevelOuter = Bevel::Raised;
  Bevel BevelInner = Bevel::None;
  Alignment Align = Alignment::CenterMiddle;
};

class Panel3D final : public Window<Panel3D> {
public:
  // Creates the panel as a child of parent at the given client rectangle.
  static Panel3D& Create(HWND parent, int id, PanelSettings settings, const PixelRect& rect, bool visible = true);

  void SetCaption(const std::wstring& caption);
  std::wstring Caption() const;
  const PanelSettings& Settings() const { return settings_; }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  friend class Window<Panel3D>;
  explicit Panel3D(PanelSettings settings) : settings_(std::move(settings)) {}
  void OnCreate();
  void Paint(HDC dc);
  int Scaled(int pixelsAt96) const;

  PanelSettings settings_;
  unique_hfont font_;
  int dpi_ = 96;
};

// Shared by every 3-D control: a solid fill; a one-pixel frame just inside
// rect (top and left in one colour, bottom and right in the other), after
// which rect shrinks past it; and a classic bevel of the given width made
// of such frames.
void FillSolid(HDC dc, const RECT& rect, COLORREF colour);
void DrawFrame(HDC dc, RECT& rect, COLORREF topLeft, COLORREF bottomRight);
void DrawBevel(HDC dc, RECT& rect, Bevel bevel, int width);

// The face of a classic push button in rect: a black outline, then a raised
// bevel depth pixels deep at rest, or a flat shadow frame when pushed in.
// rect shrinks to the face inside; returns how far the content moves when
// pushed (pushedShift, or 0 at rest).
int DrawButtonFace(HDC dc, RECT& rect, COLORREF face, bool pushed, int depth, int pushedShift);

}  // namespace salvanto::win
