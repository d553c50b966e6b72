#include "controls/push_win.h"

namespace salvanto::win {

void CarryOut(HWND control, const InputAnswer& answer, std::span<const WORD> codes, UINT_PTR repeatTimer) {
  if (answer.focus) SetFocus(control);
  if (answer.capture) SetCapture(control);
  if (answer.release) ReleaseCapture();
  // Drawn as it is now before the parent acts, which may open a modal box
  // or end the program.
  if (answer.redraw) RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  if (answer.raise) {
    const WORD code = codes[static_cast<std::size_t>(answer.raise) - 1];
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
  }
  if (answer.stopRepeating) KillTimer(control, repeatTimer);
  if (answer.repeatMs) SetTimer(control, repeatTimer, answer.repeatMs, nullptr);
}

}  // namespace salvanto::win
