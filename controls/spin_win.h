#pragma once
// The spin button: two arrow buttons side by side, the left one raising
// the down event and the right one the up event. An arrow held down with
// the mouse repeats, first after 400 ms and then every 80 ms; with the
// focus, the Down and Left keys step down and the Up and Right keys step
// up. Each event reaches the parent as WM_COMMAND with the control id and
// kSpinDownEvent or kSpinUpEvent. A tooltip names what it sets. Screen
// readers read it as a spin button named by its tooltip, whose value is
// what it sets as its owner shows it (SetValue), with the two arrows as
// push buttons whose default action raises their event.
#include <windows.h>

#include <string>

#include "base/twips.h"
#include "controls/accessible_win.h"
#include "controls/draw3d_win.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace salvanto::win {

// Notification codes in WM_COMMAND's high word.
inline constexpr WORD kSpinDownEvent = 0x0101;
inline constexpr WORD kSpinUpEvent = 0x0102;

struct SpinSettings {
  COLORREF ForeColor = RGB(0, 0, 0);        // the arrows
  COLORREF BackColor = RGB(192, 192, 192);  // the arrow buttons' face
  std::wstring ToolTip;
  std::wstring DownName = L"Down";  // what the arrows are called for a screen reader
  std::wstring UpName = L"Up";
  std::wstring Value;  // its value at first
};

class SpinButton final : public Window<SpinButton>, private AccessibleSource {
public:
  static SpinButton& Create(HWND parent, int id, SpinSettings settings, const PixelRect& rect);

  // The value after a step; a screen reader hears the change.
  void SetValue(std::wstring value);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  friend class Window<SpinButton>;
  enum class Arrow { None, Down, Up };

  explicit SpinButton(SpinSettings settings) : settings_(std::move(settings)) {}
  void OnCreate();
  void Paint(HDC dc);
  void PaintArrow(HDC dc, RECT rect, Arrow arrow, bool pushed);
  RECT ArrowRect(Arrow arrow) const;
  Arrow ArrowAt(LPARAM clientPoint) const;
  void Raise(Arrow arrow);
  void ShowPushed(Arrow arrow);
  void StopRepeating();

  void OnLButtonDown(LPARAM point);
  void OnMouseMove(LPARAM point);
  void OnTimer();
  void OnKeyDown(WPARAM key);
  void OnKeyUp(WPARAM key);
  AccessibleElement Describe(long element) const override;
  long PartCount() const override { return 2; }
  RECT PartRect(long part) const override { return ArrowRect(part == 1 ? Arrow::Down : Arrow::Up); }
  bool DoDefaultAction(long element) override;

  SpinSettings settings_;
  HWND tooltip_ = nullptr;
  Arrow held_ = Arrow::None;     // held with the mouse (captured)
  Arrow keyHeld_ = Arrow::None;  // held with an arrow key
  Arrow pushed_ = Arrow::None;   // drawn pushed in
  bool focusHidden_ = false;     // the UI state hides the focus mark
  AccessibleLink accessible_{*this};
};

}  // namespace salvanto::win
