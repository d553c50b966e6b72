// In-process tests of the Win32 shell, run under Wine by the end-to-end
// suite (test_in_process.py): what only the real windows show, checked from
// inside, where a test can send what Windows sends and read the result.
// Prints one line per failed check and a closing "N passed, N failed".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "controls/spin_win.h"
#include "framework/control_ids.h"
#include "framework/handles.h"
#include "framework/platform_win.h"
#include "settings_dialog/settings_dialog_win.h"
#include "slideshow/form1_win.h"
#include "slideshow/layout.h"

using namespace salvanto;
using namespace salvanto::win;

namespace {

int g_failed = 0;
int g_passed = 0;

#define CHECK(condition, ...)                                          \
  do {                                                                 \
    if (condition) break;                                              \
    std::printf("FAILED %s:%d: %s: ", __FILE__, __LINE__, #condition); \
    std::printf(__VA_ARGS__);                                          \
    std::printf("\n");                                                 \
    ++*failures;                                                       \
  } while (false)

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A control's rectangle in its top-level window's client coordinates.
RECT RectIn(HWND top, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string Show(const RECT& r) {
  char text[64];
  std::snprintf(text, sizeof text, "[%ld,%ld,%ld,%ld]", r.left, r.top, r.right, r.bottom);
  return text;
}

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// Each edge where the design puts it at the new density, give or take the
// pixel that rounding each edge on its own may move it.
bool ScaledFrom(const RECT& before, const RECT& after, int from, int to) {
  const auto within = [&](LONG was, LONG now) { return std::abs(MulDiv(was, to, from) - now) <= 1; };
  return within(before.left, after.left) && within(before.top, after.top) && within(before.right, after.right) &&
         within(before.bottom, after.bottom);
}

void SendDpiChange(HWND window, int dpi, const RECT& suggested) {
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  PumpMessages();
}

std::wstring Text(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

void DialogFollowsTheDensity(int* failures) {
  SharedState state;
  state.DelayMs = 1000;
  ShowSettingsDialog(GetModuleHandleW(nullptr), ThePlatform(), state);
  PumpMessages();
  HWND dialog = FindWindowW(kSettingsClass, nullptr);
  CHECK(dialog != nullptr, "no settings dialog");
  if (!dialog) return;
  HWND panel = GetDlgItem(dialog, kIdPnlSSaver);
  const std::vector<int> ids{kIdLabel7,      kIdLabel8,     kIdDialogImage2, kIdLabel9,    kIdSpinInterval,
                             kIdPanInterval, kIdSSCommand4, kIdSSCommand6,   kIdSSCommand5};
  const auto rects = [&] {
    std::vector<RECT> out{RectIn(dialog, GetDlgItem(dialog, kIdPnlSSaver))};
    for (int id : ids) out.push_back(RectIn(dialog, GetDlgItem(GetDlgItem(dialog, kIdPnlSSaver), id)));
    return out;
  };
  const std::vector<RECT> at96 = rects();
  RECT client96{};
  GetClientRect(dialog, &client96);

  // One step up, so that the display shows something other than its opening text.
  HWND spin = GetDlgItem(panel, kIdSpinInterval);
  SendMessageW(panel, WM_COMMAND, MAKEWPARAM(kIdSpinInterval, kSpinUpEvent), reinterpret_cast<LPARAM>(spin));
  const std::wstring delay = Text(GetDlgItem(panel, kIdPanInterval));
  CHECK(delay == L"2 Seconds", "the step showed %ls", delay.c_str());

  RECT frame{};
  GetWindowRect(dialog, &frame);
  const RECT suggested{frame.left, frame.top, frame.left + MulDiv(frame.right - frame.left, 3, 2),
                       frame.top + MulDiv(frame.bottom - frame.top, 3, 2)};
  SendDpiChange(dialog, 144, suggested);
  RECT moved{};
  GetWindowRect(dialog, &moved);
  CHECK(Same(moved, suggested), "the dialog is at %s, not where Windows suggested %s", Show(moved).c_str(),
        Show(suggested).c_str());
  const std::vector<RECT> at144 = rects();
  for (std::size_t i = 0; i < at96.size(); ++i) {
    CHECK(ScaledFrom(at96[i], at144[i], 96, 144), "control %zu at 144 DPI is %s, at 96 DPI %s", i,
          Show(at144[i]).c_str(), Show(at96[i]).c_str());
  }
  HWND panelNow = GetDlgItem(dialog, kIdPnlSSaver);
  const std::wstring delayNow = Text(GetDlgItem(panelNow, kIdPanInterval));
  CHECK(delayNow == delay, "the delay display reads %ls after the change", delayNow.c_str());
  CHECK(GetDlgItem(panelNow, kIdSSCommand4) != nullptr && !GetDlgItem(panel, kIdSSCommand4),
        "the old controls are gone and new ones stand in their place");

  // Back at 96 DPI, the design comes out to the pixel as it did at load.
  SendDpiChange(dialog, 96, frame);
  const std::vector<RECT> again = rects();
  for (std::size_t i = 0; i < at96.size(); ++i) {
    CHECK(Same(again[i], at96[i]), "control %zu back at 96 DPI is %s, was %s", i, Show(again[i]).c_str(),
          Show(at96[i]).c_str());
  }
  RECT client{};
  GetClientRect(dialog, &client);
  CHECK(Same(client, client96), "the client area back at 96 DPI is %s, was %s", Show(client).c_str(),
        Show(client96).c_str());
  DestroyWindow(dialog);
  PumpMessages();
}

// Where Form1's load handling puts a control at a density: the design's size
// at the load layout's place.
RECT Form1Rect(const TwipRect& design, const TwipRect& placed, int dpi) {
  const PixelRect size = ToPixels(design, TwipsPerPixel(dpi));
  const PixelRect at = ToPixels(placed, TwipsPerPixel(dpi));
  return {at.left, at.top, at.left + size.width(), at.top + size.height()};
}

void Form1FollowsTheDensity(int* failures) {
  SharedState state;
  Form1& form = ShowForm1(GetModuleHandleW(nullptr), ThePlatform(), state);
  form.SetYearVisible(true);
  PumpMessages();
  HWND window = form.hwnd();
  struct Control {
    int id;
    TwipRect Form1Layout::*rect;
  };
  const std::vector<Control> controls{
      {kIdSSPanel1, &Form1Layout::SSPanel1}, {kIdPanYear, &Form1Layout::panYear}, {kIdImage2, &Form1Layout::Image2}};
  const auto rectOf = [&](int id) { return RectIn(window, GetDlgItem(window, id)); };
  std::vector<RECT> at96;
  for (const Control& c : controls) at96.push_back(rectOf(c.id));

  for (int dpi : {120, 144, 96}) {
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SendDpiChange(window, dpi, screen);
    Win32Screen metrics(dpi);
    const Form1Layout layout = LoadLayout(metrics);
    for (std::size_t i = 0; i < controls.size(); ++i) {
      const RECT want = Form1Rect(DesignLayout().*controls[i].rect, layout.*controls[i].rect, dpi);
      const RECT got = rectOf(controls[i].id);
      CHECK(Same(got, want), "control %d at %d DPI is %s, the layout says %s", controls[i].id, dpi, Show(got).c_str(),
            Show(want).c_str());
    }
    HWND frame = GetDlgItem(window, kIdSSPanel1);
    const RECT image = RectIn(window, GetDlgItem(frame, kIdImage1));
    const RECT panel = rectOf(kIdSSPanel1);
    const PixelRect inFrame = ToPixels(DesignLayout().Image1, TwipsPerPixel(dpi));
    const RECT want{panel.left + inFrame.left, panel.top + inFrame.top, panel.left + inFrame.right,
                    panel.top + inFrame.bottom};
    CHECK(Same(image, want), "Image1 at %d DPI is %s, the layout says %s", dpi, Show(image).c_str(),
          Show(want).c_str());
    RECT whole{};
    GetWindowRect(window, &whole);
    CHECK(Same(whole, screen), "Form1 at %d DPI covers %s, not the screen", dpi, Show(whole).c_str());
  }
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const RECT got = rectOf(controls[i].id);
    CHECK(Same(got, at96[i]), "control %d back at 96 DPI is %s, was %s at load", controls[i].id, Show(got).c_str(),
          Show(at96[i]).c_str());
  }
  KillTimer(window, 1);
  DestroyWindow(window);
  PumpMessages();
}

}  // namespace

int wmain() {
  com_apartment com;
  const std::vector<std::pair<const char*, std::function<void(int*)>>> tests{
      {"DialogFollowsTheDensity", DialogFollowsTheDensity},
      {"Form1FollowsTheDensity", Form1FollowsTheDensity},
  };
  for (const auto& [name, test] : tests) {
    int failures = 0;
    test(&failures);
    std::printf("%s %s\n", failures ? "FAIL" : "ok  ", name);
    (failures ? g_failed : g_passed) += 1;
  }
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  std::fflush(stdout);
  // Windows of the product post quit messages and hold timers: leave at once.
  ExitProcess(g_failed ? 1 : 0);
}
