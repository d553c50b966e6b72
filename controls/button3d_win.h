#pragma once
// The 3-D command button: a classic raised button with its caption in its
// own colour and font, a dotted focus mark, and a pressed look while held.
// What presses and clicks it is ButtonInput's (controls/button3d.h); a
// click reaches its parent as WM_COMMAND / BN_CLICKED with its control id.
// BM_CLICK clicks it too, and so does a screen reader's default action
// "Press". The focus mark shows as the window's UI state says: on Windows,
// once the keyboard has been used.
#include <windows.h>

#include <string>

#include "base/twips.h"
#include "controls/accessible_win.h"
#include "controls/button3d.h"
#include "controls/draw3d_win.h"
#include "controls/push_win.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace salvanto::win {

class Button3D final : public Window<Button3D>, private AccessibleSource {
public:
  static Button3D& Create(HWND parent, int id, ButtonSettings settings, const PixelRect& rect);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  friend class Window<Button3D>;
  explicit Button3D(ButtonSettings settings) : settings_(std::move(settings)) {}
  void Paint(HDC dc);
  // Does what the input rules answer; a click is BN_CLICKED.
  void Apply(const InputAnswer& answer) {
    static constexpr WORD kClicked[] = {BN_CLICKED};
    CarryOut(hwnd(), answer, kClicked);
  }
  bool Over(LPARAM clientPoint) const;
  void OnDpiChanged() { font_ = MakeFont(settings_.Font, Dpi()); }
  LRESULT OnGetDlgCode(const MSG* msg);
  AccessibleElement Describe(long /*element*/) const override {
    return DescribeButton(settings_.Caption, input_.Pressed());
  }
  bool DoDefaultAction(long element) override;

  ButtonSettings settings_;
  unique_hfont font_;
  ButtonInput input_;
  AccessibleLink accessible_{*this};
};

}  // namespace salvanto::win
