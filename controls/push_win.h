#pragma once
// Does what a pushed control's input rules answer (controls/push_state.h),
// in their order: the focus, the mouse, drawing at once, the parent's
// notification (WM_COMMAND with the control's id and codes[part - 1] of the
// part raised) and the repeat timer.
#include <windows.h>

#include <optional>
#include <span>

#include "controls/push_state.h"

namespace salvanto::win {

void CarryOut(HWND control, const InputAnswer& answer, std::span<const WORD> codes, UINT_PTR repeatTimer = 0);

// The messages a pushed control (Input: ButtonInput or SpinInput) answers
// alike: the UI state that shows or hides the focus mark, the focus coming
// and going, the mouse taken by another window, a key let go. apply carries
// out an answer. WM_CREATE and WM_UPDATEUISTATE go on to the control's own
// handling too; nothing for the messages it handles alone.
template <typename Input, typename Apply>
std::optional<LRESULT> HandlePushMessage(HWND control, Input& input, Apply&& apply, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      input.state.StartUiState(static_cast<unsigned>(SendMessageW(control, WM_QUERYUISTATE, 0, 0)));
      return std::nullopt;
    case WM_UPDATEUISTATE:
      input.state.UpdateUiState(LOWORD(wParam), HIWORD(wParam));
      InvalidateRect(control, nullptr, FALSE);
      return std::nullopt;
    case WM_KILLFOCUS:
      apply(input.FocusLost());
      [[fallthrough]];
    case WM_SETFOCUS:
      // The system raises EVENT_OBJECT_FOCUS on the client area, which is
      // the control's object: one of ours as well would be read twice.
      InvalidateRect(control, nullptr, FALSE);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != control) apply(input.MouseLost());
      return 0;
    case WM_KEYUP:
      apply(input.KeyUp(static_cast<unsigned>(wParam)));
      return 0;
    default:
      return std::nullopt;
  }
}

}  // namespace salvanto::win
