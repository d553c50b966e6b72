#pragma once
// The label: text in a colour and a font on a plain background, left-aligned
// and wrapped at word boundaries within its width. It takes neither focus
// nor the mouse: clicks fall through to the container beneath it.
#include <windows.h>

#include <string>

#include "base/twips.h"
#include "controls/draw3d_win.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace salvanto::win {

struct LabelSettings {
  std::wstring Caption;
  COLORREF ForeColor = kButtonTextColour;
  COLORREF BackColor = RGB(255, 255, 255);
  FontSpec Font{L"MS Sans Serif", 8.25f, 400};
};

class Label final : public Window<Label> {
public:
  static Label& Create(HWND parent, int id, LabelSettings settings, const PixelRect& rect);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  friend class Window<Label>;
  explicit Label(LabelSettings settings) : settings_(std::move(settings)) {}
  void Paint(HDC dc);
  void OnDpiChanged() { font_ = MakeFont(settings_.Font, Dpi()); }

  LabelSettings settings_;
  unique_hfont font_;
};

}  // namespace salvanto::win
