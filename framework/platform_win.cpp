#include "framework/platform_win.h"

#include <shellscalingapi.h>

#include <string>

#include "base/settings.h"
#include "base/twips.h"
#include "framework/handles.h"
#include "framework/registry_win.h"
#include "framework/test_hooks.h"

namespace salvanto::win {

int Win32Cursor::ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

void Win32End::EndNow() { ExitProcess(0); }

namespace {
MonitorDpiSource g_monitorDpi = nullptr;

int OrDefault(UINT dpi) { return dpi > 0 ? static_cast<int>(dpi) : 96; }
}  // namespace

void SetMonitorDpiSource(MonitorDpiSource source) { g_monitorDpi = source; }

int DpiOfMonitor(HMONITOR monitor) {
  if (g_monitorDpi) return g_monitorDpi(monitor);
  UINT x = 0, y = 0;
  return SUCCEEDED(GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &x, &y)) ? OrDefault(y) : 96;
}

int DpiOfWindow(HWND window) {
  if (g_monitorDpi) return g_monitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
  return OrDefault(GetDpiForWindow(window));
}

float Win32Screen::WidthTwips() { return PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi_); }
float Win32Screen::HeightTwips() { return PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), dpi_); }

std::wstring RegistryStore::Read(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                                 std::wstring_view fallback) {
  const std::wstring path = SettingsKeyPath(app, section), name(key);
  return RegistryText(HKEY_CURRENT_USER, path.c_str(), name.c_str()).text.value_or(std::wstring(fallback));
}

void RegistryStore::Write(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                          std::wstring_view value) {
  unique_hkey hkey;
  LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKeyPath(app, section).c_str(), 0, nullptr, 0,
                                   KEY_SET_VALUE, nullptr, hkey.put(), nullptr);
  if (status == ERROR_SUCCESS) {
    const std::wstring name(key), text(value);
    status = RegSetValueExW(hkey.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  if (status != ERROR_SUCCESS) {
    throw RuntimeError(
        ErrorKind::InvalidPropertyValue,
        L"The setting " + std::wstring(key) + L" could not be saved (system error " + std::to_wstring(status) + L").");
  }
}

wchar_t Win32Text::DecimalSeparator() const {
  wchar_t separator[8] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) > 0 && separator[0] != L'\0') {
    return separator[0];
  }
  return L'.';
}

std::wstring Win32Text::Upper(std::wstring_view text) const {
  std::wstring out(text);
  if (!out.empty()) CharUpperBuffW(out.data(), static_cast<DWORD>(out.size()));
  return out;
}

void Win32Boxes::ShowMessage(std::wstring_view text, std::wstring_view title) {
  const std::wstring body(text), caption(title);
  HWND owner = BoxOwner(owner_, IsWindow(owner_) != FALSE, GetActiveWindow());
  MessageBoxW(owner, body.c_str(), caption.c_str(), MB_OK | MB_SETFOREGROUND);
}

Win32Boxes& TheMessageBoxes() {
  static Win32Boxes boxes;
  return boxes;
}

Platform& ThePlatform() {
  static Win32Cursor cursor;
  static Win32End end;
  static RegistryStore store;
  static Win32Text text;
  static Platform platform{cursor, end, store, text, TheMessageBoxes()};
  return platform;
}

namespace {

bool g_ending = false;

[[noreturn]] void ShowFatalAndEnd(const std::wstring& text, UINT exitCode) {
  // The box runs its own message loop: from here on the windows' timers
  // must do nothing, or a tick could open a box of its own beneath this one.
  g_ending = true;
  const std::wstring title(kAppTitle);
  // None of the program's windows takes input while the box is open, as
  // under a task-modal box. And the box is topmost: a fatal error can come
  // while the show's topmost windows cover the screen, and the box is then
  // the only way out. A system-modal box is topmost everywhere; a
  // task-modal one asked to be topmost is not on every system (Wine).
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM) -> BOOL {
        EnableWindow(window, FALSE);
        return TRUE;
      },
      0);
  MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONSTOP | MB_SYSTEMMODAL | MB_SETFOREGROUND);
  SetCursorVisible(ThePlatform().cursor, true);
  ExitProcess(exitCode);
}

}  // namespace

bool IsEnding() { return g_ending; }

void ReportFatalAndEnd(const RuntimeError& error) {
  ShowFatalAndEnd(error.Report(), static_cast<UINT>(error.Number()));
}

void ReportFatalAndEnd(const char* what) { ShowFatalAndEnd(FatalReport(what), 1); }

}  // namespace salvanto::win
