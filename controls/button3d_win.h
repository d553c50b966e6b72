#pragma once
// The 3-D command button: a classic raised button with its caption in its
// own colour and font, a dotted focus mark, and a pressed look while held.
// It is clicked by the mouse (pressed and released over it), by Space
// (pressed on key-down, clicked on key-up) and by Enter, and tells its
// parent with WM_COMMAND / BN_CLICKED and its control id. BM_CLICK clicks
// it too, and so does a screen reader's default action "Press". The focus
// mark shows as the window's UI state says: on Windows, once the keyboard
// has been used.
#include <windows.h>

#include <string>

#include "base/twips.h"
#include "controls/accessible_win.h"
#include "controls/draw3d_win.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace salvanto::win {

struct ButtonSettings {
  std::wstring Caption;
  COLORREF ForeColor = kButtonTextColour;
  FontSpec Font{L"System", 9.75f, 700};
};

class Button3D final : public Window<Button3D>, private AccessibleSource {
public:
  static Button3D& Create(HWND parent, int id, ButtonSettings settings, const PixelRect& rect);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  friend class Window<Button3D>;
  explicit Button3D(ButtonSettings settings) : settings_(std::move(settings)) {}
  void Paint(HDC dc);
  void ShowPressed(bool pressed);
  void Click();
  bool Contains(LPARAM clientPoint) const;
  void OnDpiChanged() { font_ = MakeFont(settings_.Font, Dpi()); }

  void OnLButtonDown();
  void OnMouseMove(LPARAM point);
  void OnLButtonUp(LPARAM point);
  void OnKeyDown(WPARAM key, LPARAM flags);
  void OnKeyUp(WPARAM key);
  void OnLostInput();
  LRESULT OnGetDlgCode(const MSG* msg);
  AccessibleElement Describe(long element) const override;
  bool DoDefaultAction(long element) override;

  ButtonSettings settings_;
  unique_hfont font_;
  bool pressed_ = false;      // drawn pushed in
  bool mouseHeld_ = false;    // the left button went down over it and is still down
  bool spaceHeld_ = false;    // Space went down while it had the focus
  bool focusHidden_ = false;  // the UI state hides the focus mark
  AccessibleLink accessible_{*this};
};

}  // namespace salvanto::win
