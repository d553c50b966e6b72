// The program's first code: one copy at a time, the mode from the command
// line, the window of that mode, then its messages until it ends.
#include <windows.h>

#include "framework/handles.h"
#include "framework/platform_win.h"
#include "program/mode.h"
#include "settings_dialog/settings_dialog_win.h"
#include "slideshow/form1_win.h"

namespace salvanto::win {
namespace {

// Held open for the whole run: a second copy finds it and ends.
unique_handle g_instanceMutex;

bool PreviousInstance() {
  g_instanceMutex.reset(CreateMutexW(nullptr, FALSE, L"Local\\SCRNSAVE: The Salvanto Anthology 2002 is running"));
  return GetLastError() == ERROR_ALREADY_EXISTS;
}

void Main(HINSTANCE instance) {
  Platform& platform = ThePlatform();
  const Mode mode = ChooseMode(PreviousInstance(), ArgumentText(GetCommandLineW()));
  if (mode == Mode::Ended) EndScreenSaver(platform.cursor, platform.end);
  if (mode == Mode::Settings) {
    ShowSettingsDialog(instance, platform, /*delayMs=*/1000);
  } else {
    ShowForm1(instance, platform).SetYearVisible(true);
  }
}

int RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    if (PreTranslateDialogMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace
}  // namespace salvanto::win

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace salvanto::win;
  com_apartment com;
  Guarded([&] { Main(instance); });
  const int code = RunMessageLoop();
  // A photo may still be loading on its worker thread, or be stuck in a
  // read for good: the process ends here with it, and no destructor of the
  // program's statics runs beside it.
  ExitProcess(static_cast<UINT>(code));
}
