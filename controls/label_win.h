#pragma once
// The label: text in a colour and a font on a plain background, left-aligned
// and wrapped at word boundaries within its width. It takes neither focus
// nor the mouse: clicks fall through to the container beneath it. Screen
// readers read it as static text named by its caption.
#include <windows.h>

#include <string>

#include "base/twips.h"
#include "controls/accessible_win.h"
#include "controls/draw3d_win.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace salvanto::win {

class Label final : public Window<Label>, private AccessibleSource {
public:
  static Label& Create(HWND parent, int id, LabelSettings settings, const PixelRect& rect);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  friend class Window<Label>;
  explicit Label(LabelSettings settings) : settings_(std::move(settings)) {}
  void Paint(HDC dc);
  void OnDpiChanged() { font_ = MakeFont(settings_.Font, Dpi()); }
  AccessibleElement Describe(long /*element*/) const override { return DescribeLabel(settings_.Caption); }

  LabelSettings settings_;
  unique_hfont font_;
  AccessibleLink accessible_{*this};
};

}  // namespace salvanto::win
