#pragma once
// The spin button: two arrow buttons side by side, which step as
// SpinInput's rules say (controls/spin.h). Each step reaches the parent as
// WM_COMMAND with the control id and its kDownEvent or kUpEvent. A
// tooltip names what it sets. Screen readers read it as DescribeSpin says:
// a spin button named by its tooltip, whose value is what it sets as its
// owner shows it (SetValue), with the two arrows as push buttons whose
// default action steps.
#include <windows.h>
#include <windowsx.h>

#include <string>

#include "base/twips.h"
#include "controls/accessible_win.h"
#include "controls/draw3d_win.h"
#include "controls/push_win.h"
#include "controls/spin.h"
#include "framework/handles.h"
#include "framework/window.h"

namespace salvanto::win {

class SpinButton final : public Window<SpinButton>, private AccessibleSource {
public:
  static SpinButton& Create(HWND parent, int id, SpinSettings settings, const PixelRect& rect);

  // The value after a step; a screen reader hears the change.
  void SetValue(std::wstring value);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
  friend class Window<SpinButton>;

  explicit SpinButton(SpinSettings settings) : settings_(std::move(settings)) {}
  void OnCreate();
  void Paint(HDC dc);
  void PaintArrow(HDC dc, const PixelRect& rect, int arrow);
  // Does what the input rules answer; a step is the arrow's event.
  void Apply(const InputAnswer& answer);
  int ArrowAt(LPARAM clientPoint) const {
    return SpinInput::ArrowAt(ClientPixels(), GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint));
  }

  AccessibleElement Describe(long element) const override {
    return DescribeSpin(element, settings_.ToolTip, settings_.Value, settings_.DownName, settings_.UpName,
                        input_.state.Pushed());
  }
  long PartCount() const override { return 2; }
  PixelRect PartRect(long part) const override { return SpinInput::ArrowRect(ClientPixels(), static_cast<int>(part)); }
  bool DoDefaultAction(long element) override;

  SpinSettings settings_;
  HWND tooltip_ = nullptr;
  SpinInput input_;
  AccessibleLink accessible_{*this};
};

}  // namespace salvanto::win
