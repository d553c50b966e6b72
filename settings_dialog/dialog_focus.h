#pragma once
// frmSSSettings' focus and place: which control gets the focus back when
// the dialog is active again or made anew at another density, which one
// the keyboard may move it to, and where the dialog stands on the screen.
#include <algorithm>

namespace salvanto {

// The control to give the focus back to later: the one that has it while
// that is the dialog's, else the one kept before.
template <typename Window>
Window FocusToKeep(Window focused, bool focusedIsOurs, Window kept) {
  return focused && focusedIsOurs ? focused : kept;
}

// A request for the next control (WM_NEXTDLGCTL) moves the focus only to
// one of the dialog's that is enabled, visible and a tab stop.
inline bool TakesTabFocus(bool ours, bool enabled, bool visible, bool tabStop) {
  return ours && enabled && visible && tabStop;
}

// The dialog's left (or top) edge: centred on the screen, and never off its
// left (or top) edge, so that the title bar stays on a smaller screen.
inline int CentredEdge(int screen, int frame) { return std::max(0, (screen - frame) / 2); }

}  // namespace salvanto
