#pragma once
// What the program needs from the platform, gathered for the windows.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/cursor.h"
#include "base/screen.h"
#include "base/settings.h"

namespace salvanto {

// A modal message box with one OK button and no icon; returns when dismissed.
class MessageBoxes {
public:
  virtual ~MessageBoxes() = default;
  virtual void ShowMessage(std::wstring_view text, std::wstring_view title) = 0;
};

struct Platform {
  CursorCounter& cursor;
  ProgramEnd& end;
  ScreenMetrics& screen;
  SettingsStore& store;
  TextConventions& text;
  MessageBoxes& boxes;
};

// The variables that live for the whole run.
struct SharedState {
  std::int32_t DelayMs = 0;          // the settings dialog's working delay
  std::int32_t IntervalSeconds = 0;  // Interval as read
  std::wstring PhotoDir;             // SalvantosDir as read, upper-cased
};

}  // namespace salvanto
