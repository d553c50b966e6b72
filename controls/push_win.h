#pragma once
// Does what a pushed control's input rules answer (controls/push_state.h),
// in their order: the focus, the mouse, drawing at once, the parent's
// notification (WM_COMMAND with the control's id and codes[part - 1] of the
// part raised) and the repeat timer.
#include <windows.h>

#include <span>

#include "controls/push_state.h"

namespace salvanto::win {

void CarryOut(HWND control, const InputAnswer& answer, std::span<const WORD> codes, UINT_PTR repeatTimer = 0);

}  // namespace salvanto::win
