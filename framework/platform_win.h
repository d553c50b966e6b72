#pragma once
// The platform behind the core's interfaces: ShowCursor, ExitProcess, the
// screen in twips, the registry, the user's locale, MessageBoxW.
#include <windows.h>

#include "base/errors.h"
#include "base/platform.h"
#include "base/screen.h"

namespace salvanto::win {

class Win32Cursor final : public CursorCounter {
public:
  int ShowCursor(bool show) override;
};

class Win32End final : public ProgramEnd {
public:
  [[noreturn]] void EndNow() override;
};

// The screen's pixels in twips at a window's density.
class Win32Screen final : public ScreenMetrics {
public:
  explicit Win32Screen(int dpi) : dpi_(dpi) {}
  float WidthTwips() override;
  float HeightTwips() override;

private:
  int dpi_;
};

// HKCU\Software\VB and VBA Program Settings\<app>\<section>, REG_SZ values:
// where the companion application writes SalvantosDir.
class RegistryStore final : public SettingsStore {
public:
  std::wstring Read(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                    std::wstring_view fallback) override;
  void Write(std::wstring_view app, std::wstring_view section, std::wstring_view key, std::wstring_view value) override;
};

class Win32Text final : public TextConventions {
public:
  wchar_t DecimalSeparator() const override;
  std::wstring Upper(std::wstring_view text) const override;
};

class Win32Boxes final : public MessageBoxes {
public:
  void ShowMessage(std::wstring_view text, std::wstring_view title) override;
  // The window the boxes belong to, so that they stand above it and take
  // the keyboard from it.
  void SetOwner(HWND owner) { owner_ = owner; }

private:
  HWND owner_ = nullptr;
};

// The one set of platform objects for the run.
Platform& ThePlatform();
Win32Boxes& TheMessageBoxes();

// The density Windows draws at on a monitor (96 at 100 %, 144 at 150 %), as a
// program aware of each monitor's density sees it; and that of the monitor
// a window stands on, once it exists. 96 where the platform has no answer.
// Never the system's density: that is the one the user signed in with, on
// whichever monitor was the main one then.
int DpiOfMonitor(HMONITOR monitor);
int DpiOfWindow(HWND window);

// Reports a fatal run-time error in a message box titled with the
// application title, then ends the process with a non-zero exit code.
[[noreturn]] void ReportFatalAndEnd(const RuntimeError& error);
[[noreturn]] void ReportFatalAndEnd(const char* what);

// True once a fatal error is being reported: nothing new may start then.
bool IsEnding();

// Runs a message handler's body; a run-time error inside it is fatal, and
// no exception ever unwinds through the system's frames.
template <typename F>
auto Guarded(F&& body) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (const RuntimeError& e) {
    ReportFatalAndEnd(e);
  } catch (const std::exception& e) {
    ReportFatalAndEnd(e.what());
  }
}

}  // namespace salvanto::win
