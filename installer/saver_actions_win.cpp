// SaverSetup.dll, the installer's custom actions: the installing user's
// screen-saver choice, made in this process rather than by a console
// program, so that no window shows and the running session hears of it.
//
// SaverPlan runs at once (before anything changes) and leaves the deferred
// actions their data, the installed file's path (SaverFile):
// - SaverSet (SETASSAVER=1) makes it the user's screen saver and turns the
//   screen saver on;
// - SaverKeep, at an install without SETASSAVER over a version the user had
//   chosen, puts that choice back if the old version's removal cleared it;
// - SaverClear, at removal, clears the choice while it names the removed
//   file in any form.
// Each action writes one line to the installer's log for what it does or
// declines to do.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <optional>
#include <string>
#include <string_view>

#include "framework/handles.h"
#include "installer/saver_choice.h"

namespace salvanto::setup {
namespace {

using unique_msihandle = win::unique_any<MSIHANDLE, &MsiCloseHandle>;

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kSaverValue[] = L"SCRNSAVE.EXE";

std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

std::wstring ErrorText(DWORD error) { return L" (error " + std::to_wstring(error) + L")"; }

// As Windows compares paths and property values: ignoring case.
bool SameText(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

// One line in the installer's log. The text goes in a field of its own, so
// that brackets in a path are not taken for properties.
void Log(MSIHANDLE install, const std::wstring& text) {
  const unique_msihandle record(MsiCreateRecord(1));
  MsiRecordSetStringW(record.get(), 0, L"SaverSetup: [1]");
  MsiRecordSetStringW(record.get(), 1, text.c_str());
  MsiProcessMessage(install, INSTALLMESSAGE_INFO, record.get());
}

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
  std::wstring value(MAX_PATH, L'\0');
  auto size = static_cast<DWORD>(value.size());
  UINT result = MsiGetPropertyW(install, name, value.data(), &size);
  if (result == ERROR_MORE_DATA) {
    value.resize(++size);
    result = MsiGetPropertyW(install, name, value.data(), &size);
  }
  value.resize(result == ERROR_SUCCESS ? size : 0);
  return value;
}

// For the path functions that return the length of what they wrote, or the
// size they need when the buffer is too small, or 0 on failure.
template <typename Fill>
std::optional<std::wstring> Filled(Fill fill) {
  std::wstring text(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) return std::nullopt;
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    text.resize(length);
  }
}

std::wstring SystemFolder() {
  return Filled([](wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); }).value_or(L"");
}

// The file a SCRNSAVE.EXE value names, in the one form Windows would give
// it: quotes and blanks dropped, environment variables expanded, a relative
// path taken in System32, made full (".." resolved) and long (the file
// still exists while the actions run).
std::optional<std::wstring> Canonical(std::wstring_view value) {
  const std::wstring path(UnquotedPath(value));
  if (path.empty()) return std::nullopt;
  const auto expanded = Filled([&](wchar_t* buffer, DWORD size) -> DWORD {
    const DWORD needed = ExpandEnvironmentStringsW(path.c_str(), buffer, size);  // counts the terminating null
    return needed == 0 || needed > size ? needed : needed - 1;
  });
  if (!expanded) return std::nullopt;
  const std::wstring anchored = InFolder(*expanded, SystemFolder());
  const auto full =
      Filled([&](wchar_t* buffer, DWORD size) { return GetFullPathNameW(anchored.c_str(), size, buffer, nullptr); });
  if (!full) return std::nullopt;
  const auto longer =
      Filled([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(full->c_str(), buffer, size); });
  return longer ? longer : full;
}

bool NamesFile(std::wstring_view value, std::wstring_view file) {
  const auto named = Canonical(value);
  const auto ours = Canonical(file);
  return named && ours && SameText(*named, *ours);
}

// The installing user's own registry: the actions run impersonated, and a
// process's HKEY_CURRENT_USER may have been opened for another user.
LSTATUS OpenUser(win::unique_hkey& user) { return RegOpenCurrentUser(KEY_READ | KEY_SET_VALUE, user.put()); }

// The user's choice: nothing when there is none, an error when it cannot be read.
struct Choice {
  LSTATUS status = ERROR_SUCCESS;
  std::optional<std::wstring> value;
};

Choice ReadChoice() {
  win::unique_hkey user;
  if (const LSTATUS status = OpenUser(user); status != ERROR_SUCCESS) return {status, std::nullopt};
  constexpr DWORD kFlags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  std::wstring value(MAX_PATH, L'\0');
  for (;;) {
    auto bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(user.get(), kDesktopKey, kSaverValue, kFlags, nullptr, value.data(), &bytes);
    if (status == ERROR_FILE_NOT_FOUND) return {};
    if (status == ERROR_MORE_DATA) {
      value.resize(bytes / sizeof(wchar_t) + 1);
      continue;
    }
    if (status != ERROR_SUCCESS) return {status, std::nullopt};
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return {ERROR_SUCCESS, value};
  }
}

LSTATUS WriteChoice(const std::wstring& file) {
  win::unique_hkey user;
  if (const LSTATUS status = OpenUser(user); status != ERROR_SUCCESS) return status;
  return RegSetKeyValueW(user.get(), kDesktopKey, kSaverValue, REG_SZ, file.c_str(),
                         static_cast<DWORD>((file.size() + 1) * sizeof(wchar_t)));
}

LSTATUS ClearChoice() {
  win::unique_hkey user;
  if (const LSTATUS status = OpenUser(user); status != ERROR_SUCCESS) return status;
  return RegDeleteKeyValueW(user.get(), kDesktopKey, kSaverValue);
}

// Deployment tools install as LocalSystem: a choice made there is the
// SYSTEM profile's, which no user sees.
bool RunsAsLocalSystem() {
  win::unique_handle token;
  if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.put()) &&
      !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
    return false;
  }
  alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  return GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size) &&
         IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, WinLocalSystemSid);
}

// Leaves a deferred action its data; an action without data does not run.
UINT Schedule(MSIHANDLE install, const wchar_t* action, const std::wstring& file) {
  return MsiSetPropertyW(install, action, file.c_str()) == ERROR_SUCCESS ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}

UINT RefuseRequest(MSIHANDLE install, const std::wstring& setAsSaver) {
  const unique_msihandle record(MsiCreateRecord(1));
  MsiRecordSetStringW(record.get(), 0,
                      L"SETASSAVER=\"[1]\" is not a value this installer takes. SETASSAVER=1 makes the screen saver "
                      L"the current one of the user who installs it; without SETASSAVER that user's choice stays "
                      L"as it is. Nothing has been installed.");
  MsiRecordSetStringW(record.get(), 1, setAsSaver.c_str());
  MsiProcessMessage(install, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), record.get());
  Log(install, L"SETASSAVER=" + Quoted(setAsSaver) + L" refused: only 1 is taken; the install stops");
  return ERROR_INSTALL_FAILURE;
}

UINT PlanRemoval(MSIHANDLE install, const std::wstring& file) {
  const std::wstring upgrade = Property(install, L"UPGRADINGPRODUCTCODE");
  if (!upgrade.empty()) {
    Log(install, L"removed by the upgrade to " + upgrade + L": the screen saver choice is left to it");
    return ERROR_SUCCESS;
  }
  return Schedule(install, L"SaverClear", file);
}

UINT PlanInstall(MSIHANDLE install, const std::wstring& file) {
  const std::wstring setAsSaver = Property(install, L"SETASSAVER");
  switch (ReadSaverRequest(setAsSaver)) {
    case SaverRequest::Refused:
      return RefuseRequest(install, setAsSaver);
    case SaverRequest::Set:
      if (RunsAsLocalSystem()) {
        Log(install,
            L"SETASSAVER=1 declined: the install runs as LocalSystem, whose screen saver no user sees; no "
            L"choice is changed");
        return ERROR_SUCCESS;
      }
      return Schedule(install, L"SaverSet", file);
    case SaverRequest::None:
      break;
  }
  const Choice choice = ReadChoice();
  if (choice.value && NamesFile(*choice.value, file)) {
    // An upgrade or a reinstall: the old version's removal may clear the choice.
    return Schedule(install, L"SaverKeep", file);
  }
  Log(install, L"no SETASSAVER: the screen saver choice (" +
                   (choice.value                     ? Quoted(*choice.value)
                    : choice.status == ERROR_SUCCESS ? L"none"
                                                     : L"unread") +
                   L") is left as it is");
  return ERROR_SUCCESS;
}

}  // namespace

// Immediate: checks SETASSAVER and schedules the deferred actions.
extern "C" __declspec(dllexport) UINT __stdcall SaverPlan(MSIHANDLE install) {
  const std::wstring file = Property(install, L"SaverFile");
  return SameText(Property(install, L"REMOVE"), L"ALL") ? PlanRemoval(install, file) : PlanInstall(install, file);
}

// Deferred (CustomActionData: the installed file): SETASSAVER=1.
extern "C" __declspec(dllexport) UINT __stdcall SaverSet(MSIHANDLE install) {
  const std::wstring file = Property(install, L"CustomActionData");
  if (const LSTATUS status = WriteChoice(file); status != ERROR_SUCCESS) {
    Log(install, L"SETASSAVER=1: SCRNSAVE.EXE could not be set to " + Quoted(file) + ErrorText(status));
    return ERROR_INSTALL_FAILURE;
  }
  // Through the system, so that the running session knows at once.
  if (!SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
    Log(install, L"SETASSAVER=1: SCRNSAVE.EXE set to " + Quoted(file) +
                     L", but the screen saver could not be turned on" + ErrorText(GetLastError()));
    return ERROR_INSTALL_FAILURE;
  }
  Log(install, L"SETASSAVER=1: SCRNSAVE.EXE set to " + Quoted(file) + L" and the screen saver turned on");
  return ERROR_SUCCESS;
}

// Deferred (CustomActionData: the installed file), after the old version's removal.
extern "C" __declspec(dllexport) UINT __stdcall SaverKeep(MSIHANDLE install) {
  const std::wstring file = Property(install, L"CustomActionData");
  const Choice choice = ReadChoice();
  if (choice.value && NamesFile(*choice.value, file)) {
    Log(install, L"the screen saver choice " + Quoted(*choice.value) + L" names the new file: left as it is");
  } else if (const LSTATUS status = WriteChoice(file); status != ERROR_SUCCESS) {
    Log(install,
        L"the screen saver choice named the replaced file and is gone; it could not be put back" + ErrorText(status));
  } else {
    Log(install, L"the screen saver choice named the replaced file and is gone: SCRNSAVE.EXE set to " + Quoted(file) +
                     L" again");
  }
  return ERROR_SUCCESS;  // the install itself went well
}

// Deferred (CustomActionData: the file about to be removed). A choice that
// cannot be cleared does not stop the removal.
extern "C" __declspec(dllexport) UINT __stdcall SaverClear(MSIHANDLE install) {
  const std::wstring file = Property(install, L"CustomActionData");
  const Choice choice = ReadChoice();
  if (!choice.value) {
    Log(install, choice.status == ERROR_SUCCESS
                     ? L"no screen saver chosen: nothing to clear"
                     : L"the screen saver choice could not be read" + ErrorText(choice.status));
  } else if (!NamesFile(*choice.value, file)) {
    Log(install, L"SCRNSAVE.EXE " + Quoted(*choice.value) + L" names another screen saver: left as it is");
  } else if (const LSTATUS status = ClearChoice(); status != ERROR_SUCCESS) {
    Log(install, L"SCRNSAVE.EXE " + Quoted(*choice.value) + L" names the removed file but could not be cleared" +
                     ErrorText(status));
  } else {
    Log(install, L"SCRNSAVE.EXE " + Quoted(*choice.value) + L" named the removed file: cleared");
  }
  return ERROR_SUCCESS;
}

}  // namespace salvanto::setup
