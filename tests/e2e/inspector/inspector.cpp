// inspector.exe: looks at the screen saver from outside, in the same Wine
// prefix and display, and prints what it sees as UTF-8 JSON on stdout.
//
//   inspector windows [--pid N] [--exe NAME]  top-level windows and their descendants
//   inspector msgbox                          dialog boxes (#32770): title, text, buttons
//   inspector press <hwnd> <button text>      clicks a button of a dialog box
//   inspector close <hwnd>                    asks a window to close (WM_CLOSE)
//   inspector sync <hwnd> [ms]                a WM_NULL round trip: the window's thread answers
//   inspector endsession <hwnd> [ms]          log-off as Windows does it: WM_QUERYENDSESSION, then
//                                             WM_ENDSESSION with the answer
//   inspector version <file>                  version record strings and the icon groups
//   inspector reg <HKCU subkey> [value]       the key's values with their types
//   inspector screen                          screen size in pixels and the logical DPI
//   inspector probe [ms]                      a full-screen window that logs input as JSON lines
//   inspector watch <ms> [exe]                what the slideshow shows, a line per change, for ms
//   inspector pulse <hwnd> <ms> [every]       WM_NULL round trips every `every` ms (10) for ms, a line
//                                             each: how long the window's thread keeps away from its messages
//   inspector icon <hwnd>                     the icon a static control shows (STM_GETICON; 0: none)
//   inspector text <hwnd>                     the window's answer to WM_GETTEXT (a tooltip's: its tip)
//   inspector regaccess <HKCU subkey> read|full
//                                             the key readable only, or open to every access again
//   inspector focus [hwnd]                    the focus and active windows of that window's thread
//                                             (default: the foreground window's)
//   inspector cursor                          the pointer the foreground's input shows: handle, showing
//   inspector activate <hwnd>                 makes the window the foreground (SetForegroundWindow)
//   inspector display <hwnd> off|on|dimmed    the session display's power as the platform reports it:
//                                             WM_POWERBROADCAST / PBT_POWERSETTINGCHANGE with the
//                                             setting written into the window's process
//   inspector msaa <hwnd> [element]           what a screen reader reads of the window and every window
//                                             in it (AccessibleObjectFromWindow); with an element (0: the
//                                             window's own), does that element's default action instead
//   inspector hold <pid>                      (served) keeps a handle to the process, for exitcode
//   inspector exitcode <pid>                  (served) a held process's exit code; null while it runs
//   inspector serve                           the verbs above but probe, watch and pulse, one per
//                                             line of stdin (arguments separated by tabs, UTF-8);
//                                             after each verb's output a line "#exit <code>"
//
// Exit codes: 0 done, 1 nothing to act on (no such window or button), 2 bad usage.
#include <windows.h>

#include <oleacc.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "framework/test_hooks.h"
#include "tests/e2e/tools/json.h"
#include "tests/e2e/tools/process_clock.h"

namespace {

using salvanto::win::com_ptr;
using salvanto::win::unique_handle;
using namespace salvanto::json;
using salvanto::win::Seconds;

// ---- JSON output -------------------------------------------------------

std::string Handle(HWND window) { return Num(static_cast<long long>(reinterpret_cast<std::uintptr_t>(window))); }
std::string Rect(const RECT& r) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "[" + std::string.
  std::string out = "[";
  for (LONG edge : {r.left, r.top, r.right, r.bottom}) out.append(Num(edge)).append(",");
  out.back() = ']';
  return out;
}

int Fail(int code, const std::wstring& message) {
  Print(Object().Add("error", Quote(message)).Str());
  return code;
}

// ---- Windows -------------------------------------------------------------

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring TextOf(HWND window) {
  // For another process's window this reads the stored text without sending
  // it a message, so looking never disturbs the program under test.
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

DWORD PidOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

// The program of each process id, for the length of one verb: a served
// inspector outlives processes, and Wine hands their ids out again.
std::map<DWORD, std::wstring> g_exeByPid;

std::wstring ExeOf(DWORD pid) {
  auto& cache = g_exeByPid;
  if (auto found = cache.find(pid); found != cache.end()) return found->second;
  std::wstring name;
  unique_handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (process) {
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (QueryFullProcessImageNameW(process.get(), 0, path, &size)) {
      name = path;
      if (auto slash = name.find_last_of(L"\\/"); slash != std::wstring::npos) name.erase(0, slash + 1);
    }
  }
  return cache[pid] = name;
}

const wchar_t* ControlName(HWND window) {
  const int id = GetDlgCtrlID(window);
  for (const auto& entry : salvanto::win::kControlNames) {
    if (entry.id == id) return entry.name;
  }
  return nullptr;
}

bool HasProperty(HWND window, const wchar_t* name) {
  struct Search {
    const wchar_t* name;
    bool found;
  } search{name, false};
  EnumPropsExW(
      window,
      [](HWND, LPWSTR key, HANDLE, ULONG_PTR data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        if (!IS_INTRESOURCE(key) && lstrcmpiW(key, s->name) == 0) s->found = true;
        return !s->found;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsProductClass(const std::wstring& name) { return name.rfind(L"Salvanto.", 0) == 0; }

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> DirectChildren(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

std::string Describe(HWND window, bool product) {
  const std::wstring className = ClassOf(window);
  const DWORD pid = PidOf(window);
  RECT rect{}, client{};
  GetWindowRect(window, &rect);
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  OffsetRect(&client, origin.x, origin.y);
  const bool child = (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0;

  Object out;
  out.Add("hwnd", Handle(window))
      .Add("pid", Num(pid))
      .Add("exe", Quote(ExeOf(pid)))
      .Add("class", Quote(className))
      .Add("text", Quote(TextOf(window)))
      .Add("id", Num(child ? GetDlgCtrlID(window) : 0));
  const wchar_t* name = child && product ? ControlName(window) : nullptr;
  out.Add("name", name ? Quote(name) : "null")
      .Add("rect", Rect(rect))
      .Add("client", Rect(client))
      .Add("visible", Bool(IsWindowVisible(window) != FALSE))
      .Add("enabled", Bool(IsWindowEnabled(window) != FALSE))
      .Add("style", Num(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE))))
      .Add("exstyle", Num(static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE))))
      .Add("parent", Handle(child ? GetAncestor(window, GA_PARENT) : nullptr))
      .Add("owner", Handle(GetWindow(window, GW_OWNER)));
  if (className == salvanto::kForm1Class) {
    // The property holds the period itself; a period of 0 reads as a null
    // handle, so presence is asked of the property list.
    const bool has = HasProperty(window, salvanto::win::kTimerIntervalProperty);
    const auto period = reinterpret_cast<INT_PTR>(GetPropW(window, salvanto::win::kTimerIntervalProperty));
    out.Add("timer1_interval", has ? Num(static_cast<long long>(period)) : "null");
  }
  std::vector<std::string> children;
  for (HWND each : DirectChildren(window)) children.push_back(Describe(each, product));
  out.Add("children", Array(children));
  return out.Str();
}

int ListWindows(int argc, wchar_t** argv) {
  DWORD onlyPid = 0;
  std::wstring onlyExe;
  for (int i = 2; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--pid") == 0 && i + 1 < argc) {
      onlyPid = static_cast<DWORD>(std::wcstoul(argv[++i], nullptr, 0));
    } else if (std::wcscmp(argv[i], L"--exe") == 0 && i + 1 < argc) {
      onlyExe = argv[++i];
    } else {
      return Fail(2, L"windows: unknown option");
    }
  }
  std::vector<std::string> items;
  for (HWND window : TopLevelWindows()) {
    const DWORD pid = PidOf(window);
    if (onlyPid && pid != onlyPid) continue;
    if (!onlyExe.empty() && lstrcmpiW(ExeOf(pid).c_str(), onlyExe.c_str()) != 0) continue;
    items.push_back(Describe(window, IsProductClass(ClassOf(window))));
  }
  Print(Array(items));
  return 0;
}

// ---- Dialog boxes --------------------------------------------------------

std::wstring WithoutMnemonic(std::wstring text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

bool IsDialogBox(HWND window) { return ClassOf(window) == L"#32770"; }

int ListMessageBoxes() {
  std::vector<std::string> boxes;
  for (HWND box : TopLevelWindows()) {
    if (!IsDialogBox(box)) continue;
    std::vector<std::string> statics, buttons;
    std::wstring message;
    for (HWND child : DirectChildren(box)) {
      const std::wstring kind = ClassOf(child);
      const std::wstring text = TextOf(child);
      if (lstrcmpiW(kind.c_str(), L"Static") == 0 && !text.empty()) {
        statics.push_back(Quote(text));
        message += (message.empty() ? L"" : L"\n") + text;
      } else if (lstrcmpiW(kind.c_str(), L"Button") == 0) {
        buttons.push_back(Object()
                              .Add("hwnd", Handle(child))
                              .Add("id", Num(GetDlgCtrlID(child)))
                              .Add("text", Quote(WithoutMnemonic(text)))
                              .Add("visible", Bool(IsWindowVisible(child) != FALSE))
                              .Str());
      }
    }
    RECT rect{};
    GetWindowRect(box, &rect);
    const DWORD pid = PidOf(box);
    boxes.push_back(Object()
                        .Add("hwnd", Handle(box))
                        .Add("pid", Num(pid))
                        .Add("exe", Quote(ExeOf(pid)))
                        .Add("title", Quote(TextOf(box)))
                        .Add("exstyle", Num(static_cast<DWORD>(GetWindowLongW(box, GWL_EXSTYLE))))
                        .Add("text", Quote(message))
                        .Add("statics", Array(statics))
                        .Add("buttons", Array(buttons))
                        .Add("visible", Bool(IsWindowVisible(box) != FALSE))
                        .Add("rect", Rect(rect))
                        .Str());
  }
  Print(Array(boxes));
  return 0;
}

HWND ParseHandle(const wchar_t* text) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::wcstoull(text, nullptr, 0)));
}

int PressButton(HWND box, const std::wstring& wanted) {
  if (!IsWindow(box)) return Fail(1, L"press: no such window");
  for (HWND child : DirectChildren(box)) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Button") != 0) continue;
    if (lstrcmpiW(WithoutMnemonic(TextOf(child)).c_str(), wanted.c_str()) != 0) continue;
    // What a click on the button sends its dialog; posted, so that a dialog
    // that ends the process cannot leave this tool waiting.
    const int id = GetDlgCtrlID(child);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(child));
    Print(Object().Add("pressed", Handle(child)).Add("id", Num(id)).Str());
    return 0;
  }
  return Fail(1, L"press: no button with that text");
}

int AskToClose(HWND window) {
  if (!IsWindow(window)) return Fail(1, L"close: no such window");
  PostMessageW(window, WM_CLOSE, 0, 0);
  Print(Object().Add("closed", Handle(window)).Str());
  return 0;
}

// Sends a message and waits for the answer at most ms milliseconds; SMTO_BLOCK
// so that this tool does nothing else meanwhile.
struct SentReply {
  bool answered;
  LRESULT result;
  long long ms;
};

SentReply SendAndWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT ms) {
  const ULONGLONG start = GetTickCount64();
  DWORD_PTR result = 0;
  const bool answered =
      SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK | SMTO_ABORTIFHUNG, ms, &result) != 0;
  return {answered, static_cast<LRESULT>(result), static_cast<long long>(GetTickCount64() - start)};
}

UINT TimeoutArgument(int argc, wchar_t** argv) {
  return argc >= 4 ? static_cast<UINT>(std::wcstoul(argv[3], nullptr, 0)) : 5000u;
}

// A WM_NULL round trip: when it returns, the window's thread has been back in
// its message loop since this call began, so input queued before has had its
// turn. Also tells a hung program from a busy one.
int Sync(HWND window, UINT ms) {
  if (!IsWindow(window)) return Fail(1, L"sync: no such window");
  const SentReply reply = SendAndWait(window, WM_NULL, 0, 0, ms);
  Print(Object().Add("answered", Bool(reply.answered)).Add("ms", Num(reply.ms)).Str());
  return 0;
}

int Activate(HWND window) {
  if (!IsWindow(window)) return Fail(1, L"activate: no such window");
  const bool done = SetForegroundWindow(window) != 0;
  Print(Object().Add("activated", Bool(done)).Add("foreground", Handle(GetForegroundWindow())).Str());
  return 0;
}

// Memory in another process, for the length of one message that points at it.
class remote_memory {
public:
  remote_memory(HANDLE process, SIZE_T size)
      : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  remote_memory(const remote_memory&) = delete;
  remote_memory& operator=(const remote_memory&) = delete;
  ~remote_memory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  void* get() const { return address_; }

private:
  HANDLE process_;
  void* address_;
};

// The system hands a power setting's report to a window as a pointer into
// the window's own process; so does this.
int DisplayState(HWND window, const std::wstring& state) {
  const std::map<std::wstring, DWORD> states{{L"off", 0}, {L"on", 1}, {L"dimmed", 2}};
  const auto found = states.find(state);
  if (found == states.end()) return Fail(2, L"display: the state is off, on or dimmed");
  DWORD pid = 0;
  if (!IsWindow(window) || !GetWindowThreadProcessId(window, &pid)) return Fail(1, L"display: no such window");
  unique_handle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid));
  if (!process) return Fail(1, L"display: the window's process cannot be opened");
  std::vector<BYTE> setting(offsetof(POWERBROADCAST_SETTING, Data) + sizeof(DWORD));
  auto* report = reinterpret_cast<POWERBROADCAST_SETTING*>(setting.data());
  report->PowerSetting = GUID_SESSION_DISPLAY_STATUS;
  report->DataLength = sizeof(DWORD);
  std::memcpy(report->Data, &found->second, sizeof(DWORD));
  remote_memory there(process.get(), setting.size());
  if (!there.get() || !WriteProcessMemory(process.get(), there.get(), setting.data(), setting.size(), nullptr)) {
    return Fail(1, L"display: the report cannot be written into the window's process");
  }
  const SentReply reply =
      SendAndWait(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(there.get()), 5000);
  Print(Object().Add("answered", Bool(reply.answered)).Add("result", Num(reply.result)).Str());
  return 0;
}

// Processes held open by a served inspector, so that their exit codes can
// still be read after they end: Wine's server may end a finished program's
// Linux process with SIGKILL, and its exit code is then lost to the tests.
std::map<DWORD, unique_handle> g_held;

int Hold(DWORD pid) {
  if (!g_held.count(pid)) {
    unique_handle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process) return Fail(1, L"hold: no such process");
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return Fail(1, L"hold: the process has ended");
    g_held[pid] = std::move(process);
  }
  Print(Object().Add("pid", Num(pid)).Str());
  return 0;
}

// The exit code of a held process (null while it runs); an ended one is let go.
int HeldExitCode(DWORD pid) {
  const auto found = g_held.find(pid);
  if (found == g_held.end()) return Fail(1, L"exitcode: the process is not held");
  DWORD code = 0;
  const bool ended = WaitForSingleObject(found->second.get(), 0) == WAIT_OBJECT_0;
  if (ended && !GetExitCodeProcess(found->second.get(), &code)) return Fail(1, L"exitcode: GetExitCodeProcess failed");
  Print(Object().Add("pid", Num(pid)).Add("exit_code", ended ? Num(code) : std::string("null")).Str());
  if (ended) g_held.erase(found);
  return 0;
}

// What Windows sends a top-level window at log-off: the query, then the end
// with the query's answer (the second only when the window is still there).
int EndSession(HWND window, UINT ms) {
  if (!IsWindow(window)) return Fail(1, L"endsession: no such window");
  const SentReply query = SendAndWait(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, ms);
  const bool allowed = query.answered && query.result != 0;
  Object out;
  out.Add("query_answered", Bool(query.answered))
      .Add("query_result", Num(static_cast<long long>(query.result)))
      .Add("query_ms", Num(query.ms));
  if (query.answered && IsWindow(window)) {
    const SentReply end = SendAndWait(window, WM_ENDSESSION, allowed ? TRUE : FALSE, ENDSESSION_LOGOFF, ms);
    out.Add("end_sent", Bool(true)).Add("end_answered", Bool(end.answered)).Add("end_ms", Num(end.ms));
  } else {
    out.Add("end_sent", Bool(false));
  }
  Print(out.Str());
  return 0;
}

// ---- Version record and icon -----------------------------------------------

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colorCount, reserved;
  WORD planes, bitCount;
  DWORD bytesInRes;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved, type, count;
};
#pragma pack(pop)

std::string ResourceName(LPCWSTR name) {
  return IS_INTRESOURCE(name) ? Num(static_cast<long long>(reinterpret_cast<std::uintptr_t>(name))) : Quote(name);
}

const BYTE* ResourceBytes(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD& size) {
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  size = SizeofResource(module, found);
  return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

std::string IconImage(HMODULE module, WORD id) {
  DWORD size = 0;
  const BYTE* bytes = ResourceBytes(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3) /* RT_ICON */, size);
  Object out;
  out.Add("found", Bool(bytes != nullptr)).Add("bytes", Num(size));
  static const BYTE kPng[] = {0x89, 'P', 'N', 'G'};
  if (bytes && size >= 4 && std::memcmp(bytes, kPng, 4) == 0) {
    out.Add("format", Quote(L"png"));
  } else if (bytes && size >= sizeof(BITMAPINFOHEADER)) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    // The height counts the colour image and the mask together.
    out.Add("format", Quote(L"dib"))
        .Add("width", Num(header.biWidth))
        .Add("height", Num(header.biHeight / 2))
        .Add("bit_count", Num(header.biBitCount))
        .Add("colors_used", Num(header.biClrUsed));
  }
  return out.Str();
}

std::vector<std::string> g_groups;

BOOL CALLBACK OnIconGroup(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR) {
  DWORD size = 0;
  const BYTE* bytes = ResourceBytes(module, name, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, size);
  std::vector<std::string> entries;
  if (bytes && size >= sizeof(GroupIconHeader)) {
    GroupIconHeader header;
    std::memcpy(&header, bytes, sizeof header);
    for (WORD i = 0; i < header.count; ++i) {
      const size_t offset = sizeof header + i * sizeof(GroupIconEntry);
      if (offset + sizeof(GroupIconEntry) > size) break;
      GroupIconEntry entry;
      std::memcpy(&entry, bytes + offset, sizeof entry);
      // 0 in the one-byte fields means 256 (size) or "256 or more" (colours).
      entries.push_back(Object()
                            .Add("width", Num(entry.width ? entry.width : 256))
                            .Add("height", Num(entry.height ? entry.height : 256))
                            .Add("color_count", Num(entry.colorCount))
                            .Add("planes", Num(entry.planes))
                            .Add("bit_count", Num(entry.bitCount))
                            .Add("id", Num(entry.id))
                            .Add("image", IconImage(module, entry.id))
                            .Str());
    }
  }
  g_groups.push_back(Object().Add("name", ResourceName(name)).Add("entries", Array(entries)).Str());
  return TRUE;
}

int Version(const wchar_t* file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  Object out;
  out.Add("file", Quote(file));
  std::vector<BYTE> data(size);
  std::vector<std::string> translations;
  std::vector<std::string> tables;
  if (size && GetFileVersionInfoW(file, 0, size, data.data())) {
    struct Translation {
      WORD language, codepage;
    };
    Translation* list = nullptr;
    UINT bytes = 0;
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&list), &bytes)) {
      for (UINT i = 0; i < bytes / sizeof(Translation); ++i) {
        wchar_t code[16];
        std::swprintf(code, 16, L"%04X%04X", list[i].language, list[i].codepage);
        translations.push_back(Quote(code));
      }
    }
    // The strings of every translation listed, and of the usual US English
    // Unicode table even when the list does not name it.
    std::vector<std::wstring> codes = {L"040904B0"};
    for (UINT i = 0; list && i < bytes / sizeof(Translation); ++i) {
      wchar_t code[16];
      std::swprintf(code, 16, L"%04X%04X", list[i].language, list[i].codepage);
      if (code != codes[0]) codes.push_back(code);
    }
    static const wchar_t* kNames[] = {L"Comments",     L"CompanyName",    L"FileDescription", L"FileVersion",
                                      L"InternalName", L"LegalCopyright", L"LegalTrademarks", L"OriginalFilename",
                                      L"PrivateBuild", L"ProductName",    L"ProductVersion",  L"SpecialBuild"};
    for (const std::wstring& code : codes) {
      Object strings;
      bool any = false;
      for (const wchar_t* name : kNames) {
        const std::wstring query = L"\\StringFileInfo\\" + code + L"\\" + name;
        wchar_t* value = nullptr;
        UINT length = 0;
        if (VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value) {
          std::wstring text(value, length);
          if (auto nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
          strings.Add(Utf8(name).c_str(), Quote(text));
          any = true;
        }
      }
      if (any) tables.push_back(Object().Add("translation", Quote(code)).Add("strings", strings.Str()).Str());
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &bytes) && fixed) {
      const auto dotted = [](DWORD high, DWORD low) {
        return Quote(std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
                     std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low)));
      };
      out.Add("file_version_fixed", dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS))
          .Add("product_version_fixed", dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
    }
  }
  out.Add("translations", Array(translations)).Add("string_tables", Array(tables));

  HMODULE module = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module) {
    EnumResourceNamesW(module, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, OnIconGroup, 0);
    FreeLibrary(module);
  }
  out.Add("loaded", Bool(module != nullptr)).Add("icon_groups", Array(g_groups));
  Print(out.Str());
  return size || module ? 0 : 1;
}

// ---- Registry ----------------------------------------------------------------

// The values of one HKCU key (or just one of them), with their types. Text
// comes out as UTF-8, whatever the console's code page.
int Registry(const wchar_t* subkey, const wchar_t* only) {
  HKEY key = nullptr;
  Object out;
  out.Add("key", Quote(subkey));
  if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    Print(out.Add("exists", Bool(false)).Add("values", "[]").Str());
    return 0;
  }
  std::vector<std::string> values;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD nameLength = 16384, type = 0, size = 0;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    if (only && lstrcmpiW(name, only) != 0) continue;
    std::vector<BYTE> data(size + sizeof(wchar_t));
    nameLength = 16384;
    if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
    Object value;
    value.Add("name", Quote(name)).Add("type", Num(type));
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
      if (auto nul = text.find(L'\0'); nul != std::wstring::npos) text.resize(nul);
      value.Add("data", Quote(text));
    } else if (type == REG_DWORD && size == 4) {
      DWORD number;
      std::memcpy(&number, data.data(), 4);
      value.Add("data", Num(number));
    } else {
      std::wstring hex;
      for (DWORD i = 0; i < size; ++i) {
        wchar_t pair[4];
        std::swprintf(pair, 4, L"%02x", data[i]);
        hex += pair;
      }
      value.Add("data", Quote(hex));
    }
    values.push_back(value.Str());
  }
  RegCloseKey(key);
  Print(out.Add("exists", Bool(true)).Add("values", Array(values)).Str());
  return 0;
}

// ---- Screen -------------------------------------------------------------------

int Screen() {
  HDC screen = GetDC(nullptr);
  const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
  const int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  Print(Object()
            .Add("width", Num(GetSystemMetrics(SM_CXSCREEN)))
            .Add("height", Num(GetSystemMetrics(SM_CYSCREEN)))
            .Add("dpi_x", Num(dpiX))
            .Add("dpi_y", Num(dpiY))
            .Add("bits_per_pixel", Num(bits))
            .Str());
  return 0;
}

// ---- Input probe -------------------------------------------------------------

// A black, borderless, topmost window over the whole screen, made and shown
// the way the slideshow window is, that prints one JSON line per input or
// focus message it gets: what the harness uses to learn what Wine delivers
// for an xdotool action. Ends after the given milliseconds or on WM_CLOSE.
ULONGLONG g_probeStart = 0;

// detail: further "key":value pairs, already in JSON.
void ProbeEvent(const char* event, const std::string& detail = {}) {
  const auto ms = static_cast<long long>(GetTickCount64() - g_probeStart);
  Print("{\"ms\":" + Num(ms) + ",\"event\":\"" + event + "\"" + (detail.empty() ? "" : "," + detail) + "}");
}

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto point = [&] {
    return "\"x\":" + Num(static_cast<short>(LOWORD(lParam))) + ",\"y\":" + Num(static_cast<short>(HIWORD(lParam)));
  };
  switch (message) {
    case WM_MOUSEMOVE:
      ProbeEvent("mousemove", point());
      break;
    case WM_LBUTTONDOWN:
      ProbeEvent("lbuttondown", point());
      break;
    case WM_LBUTTONUP:
      ProbeEvent("lbuttonup", point());
      break;
    case WM_RBUTTONDOWN:
      ProbeEvent("rbuttondown", point());
      break;
    case WM_MBUTTONDOWN:
      ProbeEvent("mbuttondown", point());
      break;
    case WM_RBUTTONUP:
      ProbeEvent("rbuttonup", point());
      break;
    case WM_MBUTTONUP:
      ProbeEvent("mbuttonup", point());
      break;
    case WM_MOUSEWHEEL:
      ProbeEvent("mousewheel", "\"delta\":" + Num(GET_WHEEL_DELTA_WPARAM(wParam)) + "," + point());
      break;
    case WM_MOUSEHWHEEL:
      ProbeEvent("mousehwheel", "\"delta\":" + Num(GET_WHEEL_DELTA_WPARAM(wParam)) + "," + point());
      break;
    case WM_KEYDOWN:
      ProbeEvent("keydown", "\"vk\":" + Num(static_cast<long long>(wParam)));
      break;
    case WM_SYSKEYDOWN:
      ProbeEvent("syskeydown", "\"vk\":" + Num(static_cast<long long>(wParam)));
      break;
    case WM_KEYUP:
      ProbeEvent("keyup", "\"vk\":" + Num(static_cast<long long>(wParam)));
      break;
    case WM_SYSKEYUP:
      ProbeEvent("syskeyup", "\"vk\":" + Num(static_cast<long long>(wParam)));
      break;
    case WM_CHAR:
      ProbeEvent("char", "\"code\":" + Num(static_cast<long long>(wParam)));
      break;
    case WM_SETFOCUS:
      ProbeEvent("setfocus");
      break;
    case WM_KILLFOCUS:
      ProbeEvent("killfocus");
      break;
    case WM_ACTIVATE:
      ProbeEvent("activate", "\"state\":" + Num(LOWORD(wParam)));
      break;
    case WM_TIMER:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

int Probe(int argc, wchar_t** argv) {
  const UINT lifetime = argc >= 3 ? static_cast<UINT>(std::wcstoul(argv[2], nullptr, 0)) : 10000u;
  g_probeStart = GetTickCount64();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"Salvanto.InputProbe";
  RegisterClassExW(&wc);
  HWND window =
      CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Input probe", WS_POPUP, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                      GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, instance, nullptr);
  if (!window) return Fail(1, L"probe: no window");
  ShowWindow(window, SW_SHOWMAXIMIZED);
  UpdateWindow(window);
  SetForegroundWindow(window);
  SetFocus(window);
  ProbeEvent("shown", "\"hwnd\":" + Handle(window));
  if (lifetime) SetTimer(window, 1, lifetime, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  ProbeEvent("end");
  return 0;
}

// The icon a static control shows: how a message box's icon is seen from
// outside, since the box keeps its (empty) icon control when it has none.
int StaticIcon(HWND window) {
  if (!IsWindow(window)) return Fail(1, L"icon: no such window");
  DWORD_PTR icon = 0;
  const bool answered = SendMessageTimeoutW(window, STM_GETICON, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 5000, &icon) != 0;
  Print(Object()
            .Add("answered", Bool(answered))
            .Add("icon", Num(static_cast<long long>(icon)))
            .Add("style", Num(GetWindowLongW(window, GWL_STYLE)))
            .Str());
  return 0;
}

// A window's text as the window itself answers WM_GETTEXT. GetWindowText
// reads only the title stored with another process's window; a tooltip keeps
// the tip it shows elsewhere and gives it only in answer to the message.
int SentText(HWND window) {
  if (!IsWindow(window)) return Fail(1, L"text: no such window");
  wchar_t text[1024] = {};
  DWORD_PTR copied = 0;
  const bool answered = SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                                            SMTO_BLOCK | SMTO_ABORTIFHUNG, 5000, &copied) != 0;
  Print(Object()
            .Add("answered", Bool(answered))
            .Add("text", Quote(std::wstring_view(text, answered ? std::wcslen(text) : 0)))
            .Add("visible", Bool(IsWindowVisible(window) != FALSE))
            .Str());
  return 0;
}

// Makes an HKCU key (created when missing) readable only, or open to every
// access again, through its access list: a store that refuses writes, as a
// locked-down profile does. Reports whether a write may now open the key.
int RegistryAccess(const wchar_t* subkey, const std::wstring& mode) {
  if (mode != L"read" && mode != L"full") return Fail(2, L"regaccess: read or full");
  HKEY key = nullptr;
  LSTATUS status =
      RegCreateKeyExW(HKEY_CURRENT_USER, subkey, 0, nullptr, 0, READ_CONTROL | WRITE_DAC, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return Fail(1, L"regaccess: cannot open the key (" + std::to_wstring(status) + L")");
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
  alignas(DWORD) BYTE buffer[256];
  auto* acl = reinterpret_cast<ACL*>(buffer);
  InitializeAcl(acl, sizeof buffer, ACL_REVISION);
  AddAccessAllowedAceEx(acl, ACL_REVISION, CONTAINER_INHERIT_ACE, mode == L"read" ? KEY_READ : KEY_ALL_ACCESS,
                        everyone);
  SECURITY_DESCRIPTOR descriptor;
  InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
  status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
  RegCloseKey(key);
  FreeSid(everyone);
  HKEY writable = nullptr;
  const LSTATUS write = RegOpenKeyExW(HKEY_CURRENT_USER, subkey, 0, KEY_SET_VALUE, &writable);
  if (write == ERROR_SUCCESS) RegCloseKey(writable);
  Print(Object().Add("set", Num(status)).Add("write_open", Num(write)).Str());
  return status == ERROR_SUCCESS ? 0 : 1;
}

// ---- What a screen reader reads ---------------------------------------------

// A window's accessible object for its client area, as a screen reader gets
// it from another process; the apartment is the inspector's for good.
HRESULT ClientObject(HWND window, com_ptr<IAccessible>& object) {
  static const HRESULT apartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(apartment)) return apartment;
  return AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), object.put_void());
}

VARIANT Element(long id) {
  VARIANT element;
  VariantInit(&element);
  element.vt = VT_I4;
  element.lVal = id;
  return element;
}

std::string AccessibleText(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*),
                           long id) {
  BSTR text = nullptr;
  const HRESULT result = (object->*get)(Element(id), &text);
  const std::string out = result == S_OK && text ? Quote(std::wstring(text, SysStringLen(text))) : "null";
  SysFreeString(text);
  return out;
}

std::string AccessibleNumber(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*),
                             long id) {
  VARIANT value;
  VariantInit(&value);
  const HRESULT result = (object->*get)(Element(id), &value);
  const std::string out = result == S_OK && value.vt == VT_I4 ? Num(value.lVal) : "null";
  VariantClear(&value);
  return out;
}

Object DescribeElement(IAccessible* object, long id) {
  Object out;
  out.Add("role", AccessibleNumber(object, &IAccessible::get_accRole, id))
      .Add("acc_name", AccessibleText(object, &IAccessible::get_accName, id))
      .Add("value", AccessibleText(object, &IAccessible::get_accValue, id))
      .Add("state", AccessibleNumber(object, &IAccessible::get_accState, id))
      .Add("action", AccessibleText(object, &IAccessible::get_accDefaultAction, id));
  return out;
}

// The window's object, its simple elements ("parts": those without an
// object of their own) and the windows in it, each read the same way.
std::string AccessibleTree(HWND window) {
  com_ptr<IAccessible> object;
  const HRESULT found = ClientObject(window, object);
  Object out = found == S_OK && object ? DescribeElement(object.get(), CHILDID_SELF) : Object();
  const wchar_t* name = IsProductClass(ClassOf(window)) ? ControlName(window) : nullptr;
  out.Add("hwnd", Handle(window)).Add("name", name ? Quote(name) : "null");
  if (found != S_OK || !object) {
    out.Add("error", Num(static_cast<long long>(found)));
  } else {
    LONG count = 0;
    std::vector<std::string> parts;
    for (long id = 1; SUCCEEDED(object->get_accChildCount(&count)) && id <= count; ++id) {
      IDispatch* child = nullptr;
      if (object->get_accChild(Element(id), &child) == S_FALSE) {
        parts.push_back(DescribeElement(object.get(), id).Add("id", Num(id)).Str());
      }
      if (child) child->Release();
    }
    out.Add("parts", Array(parts));
  }
  std::vector<std::string> children;
  for (HWND each : DirectChildren(window)) children.push_back(AccessibleTree(each));
  out.Add("children", Array(children));
  return out.Str();
}

int Accessible(HWND window, const wchar_t* element) {
  if (!IsWindow(window)) return Fail(1, L"msaa: no such window");
  if (!element) {
    Print(AccessibleTree(window));
    return 0;
  }
  com_ptr<IAccessible> object;
  HRESULT result = ClientObject(window, object);
  if (result == S_OK && object) result = object->accDoDefaultAction(Element(std::wcstol(element, nullptr, 0)));
  Print(Object().Add("result", Num(static_cast<long long>(result))).Str());
  return result == S_OK ? 0 : 1;
}

// ---- Watching the slideshow -------------------------------------------------

// True when a static control of the box shows an icon. A box without one may
// still hold an (empty) icon control, so the icon itself is asked for.
bool ShowsIcon(HWND box) {
  for (HWND child : DirectChildren(box)) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Static") != 0 || !IsWindowVisible(child)) continue;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
    DWORD_PTR icon = 0;
    if (SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, 1000, &icon) && icon) return true;
  }
  return false;
}

std::string DescribeBox(HWND box) {
  std::wstring message;
  std::vector<std::string> buttons;
  for (HWND child : DirectChildren(box)) {
    const std::wstring kind = ClassOf(child);
    const std::wstring text = TextOf(child);
    if (lstrcmpiW(kind.c_str(), L"Static") == 0 && !text.empty()) {
      message += (message.empty() ? L"" : L"\n") + text;
    } else if (lstrcmpiW(kind.c_str(), L"Button") == 0 && IsWindowVisible(child)) {
      RECT rect{};
      GetWindowRect(child, &rect);
      buttons.push_back(
          Object().Add("hwnd", Handle(child)).Add("text", Quote(WithoutMnemonic(text))).Add("rect", Rect(rect)).Str());
    }
  }
  RECT rect{};
  GetWindowRect(box, &rect);
  return Object()
      .Add("hwnd", Handle(box))
      .Add("title", Quote(TextOf(box)))
      .Add("text", Quote(message))
      .Add("buttons", Array(buttons))
      .Add("icon", Bool(ShowsIcon(box)))
      .Add("rect", Rect(rect))
      .Str();
}

// What the slideshow of one program shows, as one JSON object: whether its
// Form1 is up, panYear's caption, and its visible dialog boxes.
std::string SlideshowState(const std::wstring& exe) {
  bool any = false, form = false, yearVisible = false;
  std::string caption = "null";
  std::vector<std::string> boxes;
  for (HWND window : TopLevelWindows()) {
    if (lstrcmpiW(ExeOf(PidOf(window)).c_str(), exe.c_str()) != 0) continue;
    any = true;
    if (!IsWindowVisible(window)) continue;
    const std::wstring kind = ClassOf(window);
    if (kind == salvanto::kForm1Class) {
      form = true;
      if (HWND year = GetDlgItem(window, salvanto::kIdPanYear)) {
        // One read into a buffer larger than any caption: asking for the
        // length first could cut a caption that changes in between.
        wchar_t text[1024] = {};
        GetWindowTextW(year, text, 1024);
        caption = Quote(text);
        yearVisible = IsWindowVisible(year) != FALSE;
      }
    } else if (IsDialogBox(window)) {
      boxes.push_back(DescribeBox(window));
    }
  }
  return Object()
      .Add("alive", Bool(any))
      .Add("form", Bool(form))
      .Add("caption", caption)
      .Add("year_visible", Bool(yearVisible))
      .Add("boxes", Array(boxes))
      .Str();
}

// Polls every 15 ms for ms milliseconds and prints a line, with
// the time "t" in seconds, each time the state changes (the first at once).
// Looking costs the program nothing: no message is sent to its windows
// except STM_GETICON to a box's icon control.
int Watch(UINT ms, const std::wstring& exe) {
  const double end = Seconds() + ms / 1000.0;
  std::string last;
  while (true) {
    const double now = Seconds();
    std::string state = SlideshowState(exe);
    if (state != last) {
      char stamp[32];
      std::snprintf(stamp, sizeof stamp, "%.4f", now);
      Print("{\"t\":" + std::string(stamp) + "," + state.substr(1));
      last = std::move(state);
    }
    if (now >= end) break;
    // Every 15 ms: a tenth of the beat's slack, and each look costs Wine's
    // server a round of requests beside the show it watches.
    Sleep(15);
  }
  return 0;
}

// A WM_NULL round trip to the window every `every` milliseconds for ms
// milliseconds, one line each: when it began ("t", on Watch's clock), how
// long the answer took ("ms") and whether it came within 10 s. A round trip
// that takes long means the window's thread was kept from its messages that
// long: a frozen user interface.
int Pulse(HWND window, UINT ms, UINT every) {
  if (!IsWindow(window)) return Fail(1, L"pulse: no such window");
  const double end = Seconds() + ms / 1000.0;
  while (Seconds() < end && IsWindow(window)) {
    const double start = Seconds();
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &result) != 0;
    const double took = Seconds() - start;
    char line[96];
    std::snprintf(line, sizeof line, "{\"t\":%.4f,\"ms\":%.2f,\"answered\":%s}", start, took * 1000.0,
                  answered ? "true" : "false");
    Print(line);
    Sleep(every);
  }
  return 0;
}

// Where the keyboard focus is, read from the input state of the window's
// thread (GetGUIThreadInfo), so that looking moves no focus and sends nothing.
std::string FocusWindow(HWND window) {
  const std::wstring className = window ? ClassOf(window) : L"";
  const wchar_t* name = window && IsProductClass(className) ? ControlName(window) : nullptr;
  return Object()
      .Add("hwnd", Handle(window))
      .Add("class", Quote(className))
      .Add("name", name ? Quote(name) : "null")
      .Add("text", Quote(window ? TextOf(window) : L""))
      .Str();
}

int Focus(HWND window) {
  if (!window) window = GetForegroundWindow();
  if (!window || !IsWindow(window)) return Fail(1, L"focus: no such window");
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return Fail(1, L"focus: no thread input");
  Print(Object()
            .Add("focus", FocusWindow(info.hwndFocus))
            .Add("active", FocusWindow(info.hwndActive))
            .Add("capture", Handle(info.hwndCapture))
            .Str());
  return 0;
}

// The pointer the foreground's input shows now: its handle (null for none)
// and whether the display count lets it show.
int Cursor() {
  CURSORINFO info{};
  info.cbSize = sizeof info;
  if (!GetCursorInfo(&info)) return Fail(1, L"cursor: no cursor information");
  Print(Object()
            .Add("handle", Handle(reinterpret_cast<HWND>(info.hCursor)))
            .Add("showing", Bool((info.flags & CURSOR_SHOWING) != 0))
            .Str());
  return 0;
}

int Usage() {
  return Fail(
      2,
      L"usage: inspector windows [--pid N] [--exe NAME] | msgbox | press <hwnd> <button text> | "
      L"close <hwnd> | sync <hwnd> [ms] | endsession <hwnd> [ms] | version <file> | "
      L"reg <HKCU subkey> [value] | screen | probe [ms] | icon <hwnd> | text <hwnd> | "
      L"regaccess <HKCU subkey> read|full | focus [hwnd] | cursor | activate <hwnd> | display <hwnd> off|on|dimmed | "
      L"msaa <hwnd> [element] | hold <pid> | exitcode <pid> | "
      L"watch <ms> [exe] | pulse <hwnd> <ms> [every]");
}

int Run(int argc, wchar_t** argv);

std::wstring Wide(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int chars = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<size_t>(chars > 0 ? chars : 0), L'\0');
  if (chars > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), chars);
  return out;
}

// One inspector for many looks: starting a Wine process costs a few hundred
// milliseconds, a verb a few. Runs until stdin ends.
int Serve() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  std::string pending;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(input, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    pending.append(chunk, got);
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
      std::vector<std::wstring> args{L"inspector"};
      for (size_t start = 0; start <= end;) {
        size_t stop = pending.find('\t', start);
        if (stop == std::string::npos || stop > end) stop = end;
        args.push_back(Wide(std::string_view(pending).substr(start, stop - start)));
        start = stop + 1;
      }
      std::vector<wchar_t*> argv;
      for (auto& arg : args) argv.push_back(arg.data());
      const std::wstring verb = args[1];
      g_exeByPid.clear();
      const int code = verb == L"serve" || verb == L"probe" || verb == L"watch" || verb == L"pulse"
                           ? Fail(2, L"serve: " + verb + L" runs in a process of its own")
                           : Run(static_cast<int>(argv.size()), argv.data());
      Print("#exit " + std::to_string(code));
    }
  }
  return 0;
}

int Run(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring verb = argv[1];
  if (verb == L"serve" && argc == 2) return Serve();
  if (verb == L"windows") return ListWindows(argc, argv);
  if (verb == L"msgbox" && argc == 2) return ListMessageBoxes();
  if (verb == L"press" && argc == 4) return PressButton(ParseHandle(argv[2]), argv[3]);
  if (verb == L"close" && argc == 3) return AskToClose(ParseHandle(argv[2]));
  if (verb == L"sync" && (argc == 3 || argc == 4)) return Sync(ParseHandle(argv[2]), TimeoutArgument(argc, argv));
  if (verb == L"endsession" && (argc == 3 || argc == 4)) {
    return EndSession(ParseHandle(argv[2]), TimeoutArgument(argc, argv));
  }
  if (verb == L"version" && argc == 3) return Version(argv[2]);
  if (verb == L"hold" && argc == 3) return Hold(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 0)));
  if (verb == L"exitcode" && argc == 3) return HeldExitCode(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 0)));
  if (verb == L"reg" && (argc == 3 || argc == 4)) return Registry(argv[2], argc == 4 ? argv[3] : nullptr);
  if (verb == L"probe" && argc <= 3) return Probe(argc, argv);
  if (verb == L"screen" && argc == 2) return Screen();
  if (verb == L"icon" && argc == 3) return StaticIcon(ParseHandle(argv[2]));
  if (verb == L"text" && argc == 3) return SentText(ParseHandle(argv[2]));
  if (verb == L"regaccess" && argc == 4) return RegistryAccess(argv[2], argv[3]);
  if (verb == L"activate" && argc == 3) return Activate(ParseHandle(argv[2]));
  if (verb == L"display" && argc == 4) return DisplayState(ParseHandle(argv[2]), argv[3]);
  if (verb == L"focus" && argc <= 3) return Focus(argc == 3 ? ParseHandle(argv[2]) : nullptr);
  if (verb == L"cursor" && argc == 2) return Cursor();
  if (verb == L"msaa" && (argc == 3 || argc == 4))
    return Accessible(ParseHandle(argv[2]), argc == 4 ? argv[3] : nullptr);
  if (verb == L"watch" && (argc == 3 || argc == 4)) {
    return Watch(static_cast<UINT>(std::wcstoul(argv[2], nullptr, 0)), argc == 4 ? argv[3] : L"Salvanto2002.scr");
  }
  if (verb == L"pulse" && (argc == 4 || argc == 5)) {
    return Pulse(ParseHandle(argv[2]), static_cast<UINT>(std::wcstoul(argv[3], nullptr, 0)),
                 argc == 5 ? static_cast<UINT>(std::wcstoul(argv[4], nullptr, 0)) : 10u);
  }
  return Usage();
}

}  // namespace

int wmain(int argc, wchar_t** argv) { return Run(argc, argv); }
