#pragma once
#include <windows.h>

#include "startup/platform.h"

namespace salvanto::win {

// Creates frmSSSettings and shows it modeless, centred on the screen.
void ShowSettingsDialog(HINSTANCE instance, Platform& platform, SharedState& state);

}  // namespace salvanto::win
