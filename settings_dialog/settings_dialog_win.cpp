#include "settings_dialog/settings_dialog_win.h"

#include "startup/win/window.h"

namespace salvanto::win {
namespace {

class SettingsDialog final : public Window<SettingsDialog> {
public:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
      PostQuitMessage(0);
      return 0;
    }
    return Default(message, wParam, lParam);
  }
};

}  // namespace

void ShowSettingsDialog(HINSTANCE instance, Platform&, SharedState&) {
  Window<SettingsDialog>::Register(instance, kSettingsClass, 0, GetSysColorBrush(COLOR_BTNFACE),
                                   ProgramIcon(instance, 32));
  HWND window = CreateWindowExW(0, kSettingsClass, L"Screen Saver Settings", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                CW_USEDEFAULT, CW_USEDEFAULT, 430, 330, nullptr, nullptr, instance, new SettingsDialog);
  ShowWindow(window, SW_SHOWNORMAL);
}

bool PreTranslateDialogMessage(MSG&) { return false; }

}  // namespace salvanto::win
