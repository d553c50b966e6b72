#include "controls/push_state.h"

namespace salvanto {

void PushState::UpdateUiState(unsigned action, unsigned flags) {
  if (!(flags & kUiHideFocus)) return;
  if (action == kUiStateSet) focusHidden_ = true;
  if (action == kUiStateClear) focusHidden_ = false;
}

bool PushState::Show(int part) {
  if (pushed_ == part) return false;
  pushed_ = part;
  return true;
}

bool PushState::HoldMouse(int part) {
  mouse_ = part;
  return Show(part);
}

bool PushState::MouseOver(int part) {
  if (!mouse_) return false;
  return Show(part == mouse_ ? mouse_ : key_);
}

bool PushState::LetMouseGo() {
  mouse_ = 0;
  return Show(key_);
}

bool PushState::HoldKey(int part) {
  key_ = part;
  return !mouse_ && Show(part);
}

bool PushState::LetKeyGo() {
  key_ = 0;
  return !mouse_ && Show(0);
}

}  // namespace salvanto
