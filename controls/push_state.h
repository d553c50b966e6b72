#pragma once
// What a control that is pushed by the mouse or the keyboard remembers
// between input messages, shared by the 3-D button (one part) and the spin
// button (its two arrows): which part the mouse holds, which part a key
// holds, which part shows pushed in, and whether the UI state hides the
// focus mark. Parts count from 1; 0 is none.
#include <cstdint>

namespace salvanto {

// The keys the controls answer, by the platform's virtual-key codes.
enum Key : unsigned {
  kKeyEnter = 0x0D,
  kKeySpace = 0x20,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28,
};

// A key-down's flags (the message's lParam): set while the key repeats.
inline constexpr std::uint32_t kKeyWasDown = 1u << 30;

// The UI state's actions and its flag for the focus mark, as the platform
// numbers them (WM_UPDATEUISTATE's low and high word).
inline constexpr unsigned kUiStateSet = 1;
inline constexpr unsigned kUiStateClear = 2;
inline constexpr unsigned kUiHideFocus = 0x1;

// What the control does after a message, in this order.
struct InputAnswer {
  bool focus = false;          // takes the focus
  bool capture = false;        // takes the mouse
  bool release = false;        // lets the mouse go
  bool redraw = false;         // the part shown pushed changed: draws now
  int raise = 0;               // the part whose event goes to the parent (0: none)
  unsigned repeatMs = 0;       // (re)starts the repeat timer with this period
  bool stopRepeating = false;  // stops it
  bool operator==(const InputAnswer&) const = default;
};

class PushState {
public:
  int MouseHeld() const { return mouse_; }
  int KeyHeld() const { return key_; }
  int Pushed() const { return pushed_; }

  // The focus mark shows on a focused control unless the UI state hides it:
  // at first as the window's UI state says (WM_QUERYUISTATE's flags), then
  // as each update says.
  bool FocusMarkShows(bool focused) const { return focused && !focusHidden_; }
  void StartUiState(unsigned flags) { focusHidden_ = (flags & kUiHideFocus) != 0; }
  void UpdateUiState(unsigned action, unsigned flags);

  // Each returns true when the part shown pushed changed.
  bool Show(int part);
  // The mouse goes down on a part; while held, the part shows pushed only
  // with the pointer over it (a key's part otherwise).
  bool HoldMouse(int part);
  bool MouseOver(int part);
  bool LetMouseGo();
  // A key holds a part; the mouse's hold goes first.
  bool HoldKey(int part);
  bool LetKeyGo();

private:
  int mouse_ = 0;
  int key_ = 0;
  int pushed_ = 0;
  bool focusHidden_ = false;
};

}  // namespace salvanto
