#pragma once
#include <windows.h>

#include "base/platform.h"

namespace salvanto::win {

// Creates frmSSSettings and shows it modeless, centred on the screen.
// delayMs: the working delay the dialog starts from.
void ShowSettingsDialog(HINSTANCE instance, Platform& platform, std::int32_t delayMs);

// Gives the dialog its keyboard navigation (Tab, Enter, Space, arrows) in
// the program's message loop; true when the message was handled.
bool PreTranslateDialogMessage(MSG& msg);

}  // namespace salvanto::win
