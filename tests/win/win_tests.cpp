// In-process tests of the Win32 shell, run under Wine by the end-to-end
// suite (test_in_process.py): what only the real windows show, checked from
// inside, where a test can send what Windows sends and read the result, and
// set what Wine cannot (high contrast).
// Prints one line per failed check and a closing "N passed, N failed".
#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/control_ids.h"
#include "base/settings.h"
#include "controls/spin_win.h"
#include "framework/handles.h"
#include "framework/platform_win.h"
#include "framework/test_hooks.h"
#include "pictures/picture_win.h"
#include "pictures/resample.h"
#include "settings_dialog/settings_dialog_win.h"
#include "slideshow/cover_win.h"
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

// The width of the icon a window shows in its title bar (ICON_SMALL) or the task switcher.
int IconWidth(HWND window, WPARAM which) {
  ICONINFO info{};
  const auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  const unique_hbitmap mask(info.hbmMask), colour(info.hbmColor);
  BITMAP bitmap{};
  GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
  return bitmap.bmWidth;
}

// Each icon of the window at the size the system gives it at dpi.
bool IconsAt(HWND window, int dpi) {
  const auto at = [dpi](int metric) { return GetSystemMetricsForDpi(metric, static_cast<UINT>(dpi)); };
  return IconWidth(window, ICON_BIG) == at(SM_CXICON) && IconWidth(window, ICON_SMALL) == at(SM_CXSMICON);
}

std::wstring Text(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// The settings dialog as the program opens it, at its opening delay.
HWND OpenDialog() {
  ShowSettingsDialog(GetModuleHandleW(nullptr), ThePlatform(), 1000);
  PumpMessages();
  return FindWindowW(kSettingsClass, nullptr);
}

void DialogFollowsTheDensity(int* failures) {
  HWND dialog = OpenDialog();
  CHECK(dialog != nullptr, "no settings dialog");
  if (!dialog) return;
  HWND panel = GetDlgItem(dialog, kIdPnlSSaver);
  const std::vector<int> ids{kIdLabel7,      kIdLabel8,        kIdDialogImage2,   kIdLabel9,        kIdSpinInterval,
                             kIdPanInterval, kIdSSCommand4Set, kIdSSCommand6Exit, kIdSSCommand5Help};
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
  SendMessageW(panel, WM_COMMAND, MAKEWPARAM(kIdSpinInterval, SpinInput::kUpEvent), reinterpret_cast<LPARAM>(spin));
  const std::wstring delay = Text(GetDlgItem(panel, kIdPanInterval));
  CHECK(delay == L"2 Seconds", "the step showed %ls", delay.c_str());

  RECT frame{};
  GetWindowRect(dialog, &frame);
  // Windows asks the window its size at the new density, and suggests it:
  // the frame at that density around the design's client area (under Wine
  // the frame itself keeps the system's density, so the client area there
  // cannot show it).
  SIZE size{MulDiv(frame.right - frame.left, 3, 2), MulDiv(frame.bottom - frame.top, 3, 2)};
  const PixelRect design144 = ToPixels({0, 0, 6225, 4440}, TwipsPerPixel(144));
  RECT want{0, 0, design144.width(), design144.height()};
  AdjustWindowRectExForDpi(&want, GetWindowLongW(dialog, GWL_STYLE), FALSE, GetWindowLongW(dialog, GWL_EXSTYLE), 144);
  CHECK(SendMessageW(dialog, WM_GETDPISCALEDSIZE, 144, reinterpret_cast<LPARAM>(&size)) &&
            size.cx == want.right - want.left && size.cy == want.bottom - want.top,
        "the size at 144 DPI is %ldx%ld", size.cx, size.cy);
  const RECT suggested{frame.left, frame.top, frame.left + size.cx, frame.top + size.cy};
  SendDpiChange(dialog, 144, suggested);
  RECT moved{};
  GetWindowRect(dialog, &moved);
  CHECK(Same(moved, suggested), "the dialog is at %s, not where Windows suggested %s", Show(moved).c_str(),
        Show(suggested).c_str());
  CHECK(IconsAt(dialog, 144), "the dialog's icons at 144 DPI are %d and %d pixels wide", IconWidth(dialog, ICON_BIG),
        IconWidth(dialog, ICON_SMALL));
  const std::vector<RECT> at144 = rects();
  for (std::size_t i = 0; i < at96.size(); ++i) {
    CHECK(ScaledFrom(at96[i], at144[i], 96, 144), "control %zu at 144 DPI is %s, at 96 DPI %s", i,
          Show(at144[i]).c_str(), Show(at96[i]).c_str());
  }
  HWND panelNow = GetDlgItem(dialog, kIdPnlSSaver);
  const std::wstring delayNow = Text(GetDlgItem(panelNow, kIdPanInterval));
  CHECK(delayNow == delay, "the delay display reads %ls after the change", delayNow.c_str());
  CHECK(GetDlgItem(panelNow, kIdSSCommand4Set) != nullptr && !GetDlgItem(panel, kIdSSCommand4Set),
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
  CHECK(IconsAt(dialog, 96), "the dialog's icons back at 96 DPI");
  DestroyWindow(dialog);
  PumpMessages();
}

// Form1's controls where its load handling puts them at dpi.
void CheckForm1LaidOutAt(int* failures, HWND window, int dpi) {
  struct Control {
    int id;
    TwipRect Form1Layout::*rect;
  };
  const std::vector<Control> controls{
      {kIdSSPanel1, &Form1Layout::SSPanel1}, {kIdPanYear, &Form1Layout::panYear}, {kIdImage2, &Form1Layout::Image2}};
  Win32Screen metrics(dpi);
  const Form1Layout layout = LoadLayout(metrics);
  for (const Control& c : controls) {
    const PixelRect at = PlacedPixels(DesignLayout().*c.rect, layout.*c.rect, TwipsPerPixel(dpi));
    const RECT want{at.left, at.top, at.right, at.bottom};
    const RECT got = RectIn(window, GetDlgItem(window, c.id));
    CHECK(Same(got, want), "control %d at %d DPI is %s, the layout says %s", c.id, dpi, Show(got).c_str(),
          Show(want).c_str());
  }
}

void Form1FollowsTheDensity(int* failures) {
  Form1& form = ShowForm1(GetModuleHandleW(nullptr), ThePlatform());
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
    CheckForm1LaidOutAt(failures, window, dpi);
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
    CHECK(IconsAt(window, dpi), "Form1's icons at %d DPI", dpi);
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

// What every monitor's density is said to be, once StillForm1 has set it.
int g_monitorDpi = 96;

// Form1 shown with every monitor at dpi, its photo timer stopped.
Form1& StillForm1(int dpi) {
  g_monitorDpi = dpi;
  SetMonitorDpiSource([](HMONITOR) { return g_monitorDpi; });
  Form1& form = ShowForm1(GetModuleHandleW(nullptr), ThePlatform());
  PumpMessages();
  KillTimer(form.hwnd(), 1);
  return form;
}

// Each window starts at the density of its own monitor, whatever the
// system's: Form1 at 144 on a system at 96, a cover on a monitor at 120.
void EachWindowTakesItsMonitorsDensity(int* failures) {
  Form1& form = StillForm1(144);
  HWND window = form.hwnd();
  CHECK(form.Dpi() == 144, "Form1 starts at %d DPI", form.Dpi());
  CheckForm1LaidOutAt(failures, window, 144);

  g_monitorDpi = 120;
  struct NoEvents final : CoverEvents {
    void OnCoverKeyOrButton() override {}
    void OnCoverMouseMove(Point) override {}
  } events;
  const Cover& cover = Cover::Create(window, {0, 0, 64, 48}, events);
  CHECK(cover.Dpi() == 120, "the cover starts at %d DPI", cover.Dpi());
  // The monitor's new density, found by the once-a-second check.
  SendMessageW(window, WM_TIMER, 2, 0);
  PumpMessages();
  CHECK(form.Dpi() == 120, "Form1 is at %d DPI after its monitor's change", form.Dpi());
  CheckForm1LaidOutAt(failures, window, 120);
  SetMonitorDpiSource(nullptr);
  DestroyWindow(window);
  PumpMessages();
}

// ---- High contrast, the focus mark and screen readers ----------------------

// How many pixels of each colour the window shows.
std::map<COLORREF, int> ColoursOf(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const window_dc screen(window);
  const unique_hdc memory(CreateCompatibleDC(screen.get()));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const unique_hbitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  std::map<COLORREF, int> counts;
  if (!bitmap || !memory) return counts;
  const select_object use(memory.get(), bitmap.get());
  BitBlt(memory.get(), 0, 0, client.right, client.bottom, screen.get(), 0, 0, SRCCOPY);
  const auto* pixel = static_cast<const BYTE*>(bits);
  for (LONG i = 0; i < client.right * client.bottom; ++i, pixel += 4) ++counts[RGB(pixel[2], pixel[1], pixel[0])];
  return counts;
}

COLORREF MostOf(const std::map<COLORREF, int>& counts) {
  auto most = counts.begin();
  for (auto it = counts.begin(); it != counts.end(); ++it) most = it->second > most->second ? it : most;
  return most == counts.end() ? CLR_INVALID : most->first;
}

void ControlsDrawInTheSystemColoursUnderHighContrast(int* failures) {
  HWND dialog = OpenDialog();
  HWND panel = GetDlgItem(dialog, kIdPnlSSaver);
  HWND set = GetDlgItem(panel, kIdSSCommand4Set);
  HWND delay = GetDlgItem(panel, kIdPanInterval);
  CHECK(set && delay && GetFocus() == set, "no dialog with the focus on Set");
  if (!set || !delay) return;
  // A scheme of the user's in which no colour is one of the design's.
  const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HIGHLIGHT};
  const COLORREF window = RGB(0, 0, 0), windowText = RGB(255, 255, 0), buttonText = RGB(0, 255, 0),
                 highlight = RGB(0, 255, 255), navy = RGB(0, 0, 128), white = RGB(255, 255, 255);
  const COLORREF scheme[] = {window, windowText, RGB(64, 0, 64), buttonText, highlight};
  COLORREF saved[std::size(elements)];
  for (std::size_t i = 0; i < std::size(elements); ++i) saved[i] = GetSysColor(elements[i]);
  SetSysColors(static_cast<int>(std::size(elements)), elements, scheme);

  for (bool on : {true, false}) {
    // What the system tells the top-level windows when the setting changes.
    OverrideHighContrast(on);
    SendMessageW(dialog, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    PumpMessages();
    auto button = ColoursOf(set), display = ColoursOf(delay);
    if (on) {
      CHECK(button[buttonText] > 20, "Set's caption is not in the button-text colour");
      CHECK(button[highlight] > 20, "Set's focus mark is not in the highlight colour");
      CHECK(MostOf(display) == window, "panInterval's background is %06lx", MostOf(display));
      CHECK(display[windowText] > 20 && display[navy] == 0, "panInterval's caption is not in the window-text colour");
    } else {
      CHECK(button[buttonText] == 0 && button[highlight] == 0, "Set shows colours of the high-contrast scheme");
      CHECK(MostOf(display) == white && display[navy] > 20 && display[windowText] == 0,
            "panInterval is not navy on white");
    }
  }
  // The focus mark hides while the UI state says so (the keyboard unused).
  OverrideHighContrast(true);
  SendMessageW(set, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
  PumpMessages();
  CHECK(ColoursOf(set)[highlight] == 0, "the focus mark shows while the UI state hides it");
  SendMessageW(set, WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  PumpMessages();
  CHECK(ColoursOf(set)[highlight] > 20, "the focus mark stays hidden after the keyboard was used");

  OverrideHighContrast(std::nullopt);
  SetSysColors(static_cast<int>(std::size(elements)), elements, saved);
  DestroyWindow(dialog);
  PumpMessages();
}

// What a screen reader hears of the client areas: (event, window).
std::vector<std::pair<DWORD, HWND>> g_heard;

void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG element, DWORD, DWORD) {
  if (object == OBJID_CLIENT && element == CHILDID_SELF) g_heard.emplace_back(event, window);
}

bool Heard(DWORD event, HWND window) {
  return std::find(g_heard.begin(), g_heard.end(), std::pair{event, window}) != g_heard.end();
}

// A screen reader hears the new delay and the focus moving; it may keep a
// control's object after the control is gone, and every call then fails
// cleanly.
void AccessibleObjectsSpeakAndOutliveTheirControls(int* failures) {
  HWND dialog = OpenDialog();
  HWND panel = GetDlgItem(dialog, kIdPnlSSaver);
  HWND spin = GetDlgItem(panel, kIdSpinInterval);
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, Hear,
                                       GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  SendMessageW(spin, WM_KEYDOWN, VK_UP, 0);
  SendMessageW(spin, WM_KEYUP, VK_UP, 0);
  EnableWindow(dialog, FALSE);  // as under the Help box
  EnableWindow(dialog, TRUE);
  SetFocus(GetDlgItem(panel, kIdSSCommand5Help));
  PumpMessages();
  UnhookWinEvent(hook);
  CHECK(Heard(EVENT_OBJECT_NAMECHANGE, GetDlgItem(panel, kIdPanInterval)), "no new name heard of panInterval");
  CHECK(std::count(g_heard.begin(), g_heard.end(), std::pair{DWORD{EVENT_OBJECT_VALUECHANGE}, spin}) == 1,
        "not one value change heard of the spin button");
  CHECK(Heard(EVENT_OBJECT_STATECHANGE, GetDlgItem(panel, kIdSSCommand4Set)), "no state change heard of Set");
  CHECK(Heard(EVENT_OBJECT_FOCUS, GetDlgItem(panel, kIdSSCommand5Help)), "no focus heard on Help");

  // An arrow the mouse holds goes on stepping (the timing is the unit table's).
  RECT client{};
  GetClientRect(spin, &client);
  SendMessageW(spin, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right * 3 / 4, client.bottom / 2));
  const std::wstring once = Text(GetDlgItem(panel, kIdPanInterval));
  const auto stepped = [&] { return Text(GetDlgItem(panel, kIdPanInterval)) != once; };
  for (const ULONGLONG until = GetTickCount64() + 3000; !stepped() && GetTickCount64() < until; Sleep(10))
    PumpMessages();
  CHECK(stepped(), "a held arrow steps once only");
  SendMessageW(spin, WM_LBUTTONUP, 0, MAKELPARAM(client.right * 3 / 4, client.bottom / 2));

  com_ptr<IAccessible> object;
  AccessibleObjectFromWindow(spin, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), object.put_void());
  CHECK(object, "no accessible object for the spin button");
  if (!object) return;
  VARIANT arrow, self, to;
  VariantInit(&arrow);
  VariantInit(&self);
  arrow.vt = self.vt = VT_I4;
  arrow.lVal = 1;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  CHECK(object->get_accValue(self, &name) == S_OK && name && Text(GetDlgItem(panel, kIdPanInterval)) == name,
        "the spin button's value is not the delay shown");
  SysFreeString(std::exchange(name, nullptr));
  // The arrows lie side by side: the second right of the first (every direction is the unit table's).
  CHECK(object->accNavigate(NAVDIR_RIGHT, arrow, &to) == S_OK && to.vt == VT_I4 && to.lVal == 2,
        "right of the first arrow");
  arrow.lVal = 2;
  CHECK(object->get_accName(arrow, &name) == S_OK && name && std::wstring(name) == L"Longer Delay",
        "the up arrow's name");
  SysFreeString(std::exchange(name, nullptr));
  // Where a screen reader shows the up arrow: in the control's right part.
  RECT whole{};
  GetWindowRect(spin, &whole);
  LONG left = 0, top = 0, width = 0, height = 0;
  CHECK(object->accLocation(&left, &top, &width, &height, arrow) == S_OK && left > whole.left &&
            left + width <= whole.right && top >= whole.top && top + height <= whole.bottom,
        "the up arrow's place");
  DestroyWindow(dialog);
  PumpMessages();
  CHECK(object->get_accName(arrow, &name) == CO_E_OBJNOTCONNECTED && !name, "a name read after the window went");
  CHECK(object->accDoDefaultAction(arrow) == CO_E_OBJNOTCONNECTED, "an arrow pressed after the window went");
  CHECK(object->accLocation(&left, &top, &width, &height, arrow) == CO_E_OBJNOTCONNECTED && width == 0,
        "a place asked after the window went");
}

// The covers of the other monitors (none on one monitor).
std::vector<HWND> Covers() {
  std::vector<HWND> covers;
  for (HWND c = nullptr; (c = FindWindowExW(nullptr, c, kCoverClass, nullptr)) != nullptr;) covers.push_back(c);
  return covers;
}

void Record(const char* name, int failures) {
  std::printf("%s %s\n", failures ? "FAIL" : "ok  ", name);
  (failures ? g_failed : g_passed) += 1;
}

[[noreturn]] void Finish() {
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  std::fflush(stdout);
  // Windows of the product post quit messages and hold timers: leave at once.
  ExitProcess(g_failed ? 1 : 0);
}

// Under a fatal error's box nothing moves: a display change, the monitors'
// check and a density change, delivered by the box's own message loop,
// leave Form1 and the covers as they were. The box's OK would end the
// program, so this test, the last, ends it from its watching thread.
void NothingMovesUnderAFatalBox(int* failures) {
  Form1& form = StillForm1(96);
  HWND window = form.hwnd();
  const std::vector<HWND> covers = Covers();
  const RECT frame = RectIn(window, GetDlgItem(window, kIdSSPanel1));
  g_monitorDpi = 144;  // what the box's loop would lay Form1 out for
  static std::function<void()> watch;
  watch = [=, &form] {
    const std::wstring title(kAppTitle);
    for (int i = 0; i < 500 && !FindWindowW(L"#32770", title.c_str()); ++i) Sleep(20);
    HWND box = FindWindowW(L"#32770", title.c_str());
    CHECK(box, "no fatal box");
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SendMessageW(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(screen.right, screen.bottom));
    SendMessageW(window, WM_TIMER, 2, 0);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&screen));
    CHECK(form.Dpi() == 96 && Same(RectIn(window, GetDlgItem(window, kIdSSPanel1)), frame),
          "Form1 laid out again at %d DPI under the box", form.Dpi());
    CHECK(Covers() == covers, "the covers made anew under the box");
    CHECK(IsWindow(box) && !IsWindowEnabled(window), "the box gone, or Form1 takes input under it");
    Record("NothingMovesUnderAFatalBox", *failures);
    Finish();
  };
  CloseHandle(CreateThread(
      nullptr, 0,
      [](void*) -> DWORD {
        watch();
        return 0;
      },
      nullptr, 0, nullptr));
  Guarded([] { throw RuntimeError(ErrorKind::InvalidPropertyValue, L"The test's fatal error."); });
}

// ---- The decoder's own scaling, through a stand-in frame ------------------

// A test pattern: every pixel of the picture at full size is different
// enough from its neighbours that a wrong row, column, stride or scale
// shows. At 1/scale of the size, pixel (x, y) is the full picture's pixel
// (x * scale, y * scale), as a DCT scale of such a pattern would give.
void PatternPixel(std::uint32_t x, std::uint32_t y, std::uint32_t scale, BYTE* out, std::uint32_t bpp) {
  const std::uint32_t fx = x * scale, fy = y * scale;
  out[0] = static_cast<BYTE>(fx * 7 + fy * 3);
  out[1] = static_cast<BYTE>((fx ^ fy) + fy / 5);
  out[2] = static_cast<BYTE>(fx / 3 + fy * 5);
  if (bpp == 4) out[3] = 0xEE;
}

std::vector<BYTE> Pattern(PixelSize size, std::uint32_t scale, std::uint32_t bpp) {
  std::vector<BYTE> pixels(std::size_t{size.width} * size.height * bpp);
  for (std::uint32_t y = 0; y < size.height; ++y) {
    for (std::uint32_t x = 0; x < size.width; ++x) {
      PatternPixel(x, y, scale, &pixels[(std::size_t{y} * size.width + x) * bpp], bpp);
    }
  }
  return pixels;
}

// The picture the loader should make from a source: our own resampler over it.
std::vector<BYTE> Reference(const std::vector<BYTE>& source, PixelSize size, std::uint32_t bpp, PixelSize target) {
  std::vector<BYTE> out(std::size_t{target.width} * target.height * 4);
  Resampler resampler(size, bpp, target, out.data(), std::size_t{target.width} * 4);
  resampler.AddRows(source.data(), std::size_t{size.width} * bpp, size.height);
  return out;
}

struct CopyCall {
  WICRect rect;
  UINT width, height, stride, bytes;
};

// A decoded frame as a JPEG decoder of Windows offers it: the ordinary
// source at full size, and the transform interface that scales in the DCT
// to 1/2, 1/4 or 1/8. Every way it can refuse is a setting.
class StandInFrame final : public IWICBitmapFrameDecode, public IWICSourceTransform {
public:
  PixelSize stored{1600, 1200};
  bool offersTransform = true;
  WICPixelFormatGUID closestFormat = GUID_WICPixelFormat24bppBGR;
  std::optional<WICPixelFormatGUID> writes;  // the format CopyPixels says it wrote, if not the one asked for
  int failingBand = -1;                      // the transform's CopyPixels fails on this call
  bool closestIsFullSize = false;
  HRESULT sizeAnswer = S_OK, formatAnswer = S_OK;  // the closest size's and format's queries

  // What the loader asked.
  std::optional<std::pair<UINT, UINT>> closestAsked;
  std::vector<CopyCall> transformCopies;
  int plainCopies = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == __uuidof(IWICBitmapSource) || iid == __uuidof(IWICBitmapFrameDecode)) {
      *out = static_cast<IWICBitmapFrameDecode*>(this);
    } else if (iid == kIidWICSourceTransform && offersTransform) {
      *out = static_cast<IWICSourceTransform*>(this);
    } else {
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  // IWICBitmapSource, at full size in 24-bit BGR.
  HRESULT STDMETHODCALLTYPE GetSize(UINT* width, UINT* height) override {
    *width = stored.width;
    *height = stored.height;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* format) override {
    *format = GUID_WICPixelFormat24bppBGR;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetResolution(double* x, double* y) override {
    *x = *y = 96;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return WINCODEC_ERR_PALETTEUNAVAILABLE; }
  HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT bytes, BYTE* buffer) override {
    ++plainCopies;
    return Fill(*rect, stored, 1, 3, stride, bytes, buffer);
  }
  // IWICBitmapFrameDecode: no metadata, as Wine's decoders.
  HRESULT STDMETHODCALLTYPE GetMetadataQueryReader(IWICMetadataQueryReader**) override {
    return WINCODEC_ERR_UNSUPPORTEDOPERATION;
  }
  HRESULT STDMETHODCALLTYPE GetColorContexts(UINT, IWICColorContext**, UINT*) override {
    return WINCODEC_ERR_UNSUPPORTEDOPERATION;
  }
  HRESULT STDMETHODCALLTYPE GetThumbnail(IWICBitmapSource**) override { return WINCODEC_ERR_CODECNOTHUMBNAIL; }

  // IWICSourceTransform.
  HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) override {
    closestAsked = std::pair{*width, *height};
    if (FAILED(sizeAnswer)) return sizeAnswer;
    if (closestIsFullSize) {
      *width = stored.width;
      *height = stored.height;
      return S_OK;
    }
    for (std::uint32_t scale : {8u, 4u, 2u, 1u}) {
      const PixelSize size = Scaled(scale);
      if (size.width >= *width && size.height >= *height) {
        *width = size.width;
        *height = size.height;
        return S_OK;
      }
    }
    *width = stored.width;
    *height = stored.height;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) override {
    *format = closestFormat;
    return formatAnswer;
  }
  HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) override {
    *supported = transform == WICBitmapTransformRotate0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height, WICPixelFormatGUID* format,
                                       WICBitmapTransformOptions transform, UINT stride, UINT bytes,
                                       BYTE* buffer) override {
    transformCopies.push_back({*rect, width, height, stride, bytes});
    if (static_cast<int>(transformCopies.size()) - 1 == failingBand) return E_FAIL;
    if (transform != WICBitmapTransformRotate0) return E_INVALIDARG;
    std::uint32_t scale = 0;
    for (std::uint32_t s : {1u, 2u, 4u, 8u}) {
      if (Scaled(s) == PixelSize{width, height}) scale = s;
    }
    if (!scale) return E_INVALIDARG;  // a size the decoder never offered
    const std::uint32_t bpp = *format == GUID_WICPixelFormat32bppBGR ? 4 : 3;
    if (*format != GUID_WICPixelFormat24bppBGR && *format != GUID_WICPixelFormat32bppBGR) return E_INVALIDARG;
    if (writes) *format = *writes;
    return Fill(*rect, {width, height}, scale, bpp, stride, bytes, buffer);
  }

  PixelSize Scaled(std::uint32_t scale) const {
    return {(stored.width + scale - 1) / scale, (stored.height + scale - 1) / scale};
  }

private:
  static HRESULT Fill(const WICRect& rect, PixelSize size, std::uint32_t scale, std::uint32_t bpp, UINT stride,
                      UINT bytes, BYTE* buffer) {
    if (rect.X < 0 || rect.Y < 0 || rect.Width <= 0 || rect.Height <= 0 ||
        static_cast<UINT>(rect.X + rect.Width) > size.width || static_cast<UINT>(rect.Y + rect.Height) > size.height ||
        stride < static_cast<UINT>(rect.Width) * bpp ||
        bytes < stride * static_cast<UINT>(rect.Height - 1) + static_cast<UINT>(rect.Width) * bpp) {
      return E_INVALIDARG;
    }
    for (INT y = 0; y < rect.Height; ++y) {
      for (INT x = 0; x < rect.Width; ++x) {
        PatternPixel(static_cast<std::uint32_t>(rect.X + x), static_cast<std::uint32_t>(rect.Y + y), scale,
                     buffer + std::size_t{stride} * static_cast<UINT>(y) + std::size_t{bpp} * static_cast<UINT>(x),
                     bpp);
      }
    }
    return S_OK;
  }
};

// The bitmap's pixels as B, G, R, 0 rows, top first; empty for no bitmap.
std::vector<BYTE> PixelsOf(const unique_hbitmap& bitmap) {
  DIBSECTION dib{};
  if (!bitmap || !GetObjectW(bitmap.get(), sizeof dib, &dib) || !dib.dsBm.bmBits) return {};
  const auto* bits = static_cast<const BYTE*>(dib.dsBm.bmBits);
  return {bits, bits + std::size_t{static_cast<UINT>(dib.dsBm.bmWidthBytes)} * static_cast<UINT>(dib.dsBm.bmHeight)};
}

// The bands cover the scaled picture's rows once each, top to bottom, whole
// rows, with strides and buffer sizes that fit.
bool BandsCover(const std::vector<CopyCall>& calls, PixelSize scaled, std::uint32_t bpp) {
  UINT next = 0;
  for (const CopyCall& call : calls) {
    if (call.rect.X != 0 || static_cast<UINT>(call.rect.Width) != scaled.width ||
        static_cast<UINT>(call.rect.Y) != next || call.width != scaled.width || call.height != scaled.height ||
        call.stride != scaled.width * bpp || call.bytes != call.stride * static_cast<UINT>(call.rect.Height)) {
      return false;
    }
    next += static_cast<UINT>(call.rect.Height);
  }
  return next == scaled.height;
}

void DecoderScalesToTheSmallestSizeAtLeastTheTarget(int* failures) {
  auto factory = WicFactory();
  CHECK(factory, "no WIC factory");
  if (!factory) return;
  // (stored, target, scale the decoder should be asked for, bytes per pixel it offers)
  struct Case {
    PixelSize stored, target;
    std::uint32_t scale;
    WICPixelFormatGUID format;
    std::uint32_t bpp;
  };
  const std::vector<Case> cases{
      {{8000, 6000}, {1000, 750}, 8, GUID_WICPixelFormat24bppBGR, 3},  // exactly 1/8, in several bands
      {{1600, 1200}, {300, 200}, 4, GUID_WICPixelFormat24bppBGR, 3},   // 1/8 would be too small
      {{1601, 1199}, {700, 500}, 2, GUID_WICPixelFormat32bppBGR, 4},   // odd sizes round up
  };
  for (const Case& c : cases) {
    StandInFrame frame;
    frame.stored = c.stored;
    frame.closestFormat = c.format;
    const unique_hbitmap picture = PictureFromFrame(
        factory.get(), &frame, {static_cast<LONG>(c.target.width), static_cast<LONG>(c.target.height)});
    const PixelSize scaled = frame.Scaled(c.scale);
    CHECK(frame.closestAsked == std::pair(c.target.width, c.target.height),
          "the closest size asked for is not the target");
    CHECK(frame.plainCopies == 0, "%d full-size reads besides the scaled ones", frame.plainCopies);
    CHECK(BandsCover(frame.transformCopies, scaled, c.bpp), "%zu bands do not cover %ux%u at %u bytes a pixel",
          frame.transformCopies.size(), scaled.width, scaled.height, c.bpp);
    const std::vector<BYTE> want = Reference(Pattern(scaled, c.scale, c.bpp), scaled, c.bpp, c.target);
    CHECK(PixelsOf(picture) == want, "the picture from %ux%u at 1/%u differs from the reference", c.stored.width,
          c.stored.height, c.scale);
  }
  StandInFrame big;
  big.stored = {8000, 6000};
  PictureFromFrame(factory.get(), &big, {1000, 750});
  CHECK(big.transformCopies.size() > 1, "a 1000x750 picture came in %zu band", big.transformCopies.size());
}

void EveryRefusalFallsBackToTheFullSizeDecode(int* failures) {
  auto factory = WicFactory();
  if (!factory) return;
  const PixelSize target{300, 200};
  struct Case {
    const char* what;
    std::function<void(StandInFrame&)> set;
  };
  const std::vector<Case> cases{
      {"no transform", [](StandInFrame& f) { f.offersTransform = false; }},
      {"a format with alpha", [](StandInFrame& f) { f.closestFormat = GUID_WICPixelFormat32bppBGRA; }},
      {"grey", [](StandInFrame& f) { f.closestFormat = GUID_WICPixelFormat8bppGray; }},
      {"no smaller size", [](StandInFrame& f) { f.closestIsFullSize = true; }},
      {"a band that fails", [](StandInFrame& f) { f.failingBand = 0; }},
      {"another format written", [](StandInFrame& f) { f.writes = GUID_WICPixelFormat32bppBGR; }},
      {"no closest size", [](StandInFrame& f) { f.sizeAnswer = E_FAIL; }},
      {"no closest format", [](StandInFrame& f) { f.formatAnswer = E_FAIL; }},
  };
  for (const Case& c : cases) {
    StandInFrame frame;
    c.set(frame);
    const unique_hbitmap picture = PictureFromFrame(factory.get(), &frame, {300, 200});
    CHECK(frame.plainCopies > 0, "%s: the full-size picture was never read", c.what);
    const std::vector<BYTE> want = Reference(Pattern(frame.stored, 1, 3), frame.stored, 3, target);
    CHECK(PixelsOf(picture) == want, "%s: the picture differs from the full-size decode's", c.what);
  }
}

}  // namespace

int wmain() {
  com_apartment com;
  const std::vector<std::pair<const char*, std::function<void(int*)>>> tests{
      {"DialogFollowsTheDensity", DialogFollowsTheDensity},
      {"Form1FollowsTheDensity", Form1FollowsTheDensity},
      {"EachWindowTakesItsMonitorsDensity", EachWindowTakesItsMonitorsDensity},
      {"ControlsDrawInTheSystemColoursUnderHighContrast", ControlsDrawInTheSystemColoursUnderHighContrast},
      {"AccessibleObjectsSpeakAndOutliveTheirControls", AccessibleObjectsSpeakAndOutliveTheirControls},
      {"DecoderScalesToTheSmallestSizeAtLeastTheTarget", DecoderScalesToTheSmallestSizeAtLeastTheTarget},
      {"EveryRefusalFallsBackToTheFullSizeDecode", EveryRefusalFallsBackToTheFullSizeDecode},
  };
  for (const auto& [name, test] : tests) {
    int failures = 0;
    test(&failures);
    Record(name, failures);
  }
  static int failures = 0;
  NothingMovesUnderAFatalBox(&failures);  // ends the program
  Finish();
}
