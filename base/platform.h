#pragma once
// What the program needs from the platform, gathered for the windows.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/cursor.h"
#include "base/settings.h"

namespace salvanto {

// A modal message box with one OK button and no icon; returns when dismissed.
class MessageBoxes {
public:
  virtual ~MessageBoxes() = default;
  virtual void ShowMessage(std::wstring_view text, std::wstring_view title) = 0;
};

// The window a box belongs to, so that it stands above that window and
// takes the keyboard from it: the one set for the boxes while it exists
// (a box owned by a window that is gone would belong to nothing), else the
// active one.
template <typename Window>
Window BoxOwner(Window set, bool setExists, Window active) {
  return set && setExists ? set : active;
}

struct Platform {
  CursorCounter& cursor;
  ProgramEnd& end;
  SettingsStore& store;
  TextConventions& text;
  MessageBoxes& boxes;
};

}  // namespace salvanto
