#pragma once
// The 3-D panel: a container with a caption, colours, a font and classic
// bevels. It handles no event of its own and takes every mouse message over
// it, bevels included, so that nothing beneath it sees them. Its window text
// is its caption. Screen readers read a panel that holds controls as a
// grouping, any other as static text named by its caption, and hear when
// the caption changes.
#include <windows.h>

#include <string>

#include "base/twips.h"
#include "controls/accessible_win.h"
#include "controls/draw3d_win.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace salvanto::win {

class Panel3D final : public Window<Panel3D>, private AccessibleSource {
public:
  // Creates the panel as a child of parent at the given client rectangle.
  static Panel3D& Create(HWND parent, int id, PanelSettings settings, const PixelRect& rect, bool visible = true);

  void SetCaption(const std::wstring& caption);
  std::wstring Caption() const;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  friend class Window<Panel3D>;
  explicit Panel3D(PanelSettings settings) : settings_(std::move(settings)) {}
  void OnDpiChanged() { font_ = MakeFont(settings_.Font, Dpi()); }
  void Paint(HDC dc);
  AccessibleElement Describe(long /*element*/) const override {
    return DescribePanel(Caption(), GetWindow(hwnd(), GW_CHILD) != nullptr);
  }

  PanelSettings settings_;
  unique_hfont font_;
  AccessibleLink accessible_{*this};
};

}  // namespace salvanto::win
