// SaverSetup.dll, the installer's custom actions (installer/saver_choice.h
// says what each decides): the installing user's screen-saver choice, made
// in this process rather than by a console program, so that no window shows
// and the running session hears of it.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <optional>
#include <string>
#include <string_view>

#include "framework/handles.h"
#include "framework/registry_win.h"
#include "installer/saver_choice.h"

namespace salvanto::setup {
namespace {

using unique_msihandle = win::unique_any<MSIHANDLE, &MsiCloseHandle>;

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kSaverValue[] = L"SCRNSAVE.EXE";

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

std::wstring Property(MSIHANDLE install, std::wstring_view property) {
  const std::wstring name(property);
  return FillText([&](wchar_t* buffer, std::size_t capacity) {
           auto size = static_cast<DWORD>(capacity);
           return StatusAnswer(MsiGetPropertyW(install, name.c_str(), buffer, &size), size + 1);
         })
      .text.value_or(L"");
}

// For the path functions that return the length of what they wrote, or the
// size they need when the buffer is too small, or 0 on failure.
template <typename Fill>
std::optional<std::wstring> Filled(Fill fill) {
  return FillText([&](wchar_t* buffer, std::size_t capacity) {
           return LengthAnswer(fill(buffer, static_cast<DWORD>(capacity)), capacity);
         })
      .text;
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

SaverChoice ReadChoice() {
  win::unique_hkey user;
  if (const LSTATUS status = OpenUser(user); status != ERROR_SUCCESS) return {status, std::nullopt};
  FilledText read = win::RegistryText(user.get(), kDesktopKey, kSaverValue);
  if (read.error == ERROR_FILE_NOT_FOUND) return {};
  return {read.error, std::move(read.text)};
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

class MsiHost final : public SaverHost {
public:
  explicit MsiHost(MSIHANDLE install) : install_(install) {}
  std::wstring Property(std::wstring_view name) const override { return setup::Property(install_, name); }
  bool SetProperty(std::wstring_view name, const std::wstring& value) override {
    return MsiSetPropertyW(install_, std::wstring(name).c_str(), value.c_str()) == ERROR_SUCCESS;
  }
  void Log(const std::wstring& line) override { setup::Log(install_, line); }
  void ShowRefusal(const std::wstring& setAsSaver) override {
    const unique_msihandle record(MsiCreateRecord(1));
    MsiRecordSetStringW(record.get(), 0, kRefusalMessage);
    MsiRecordSetStringW(record.get(), 1, setAsSaver.c_str());
    MsiProcessMessage(install_, static_cast<INSTALLMESSAGE>(INSTALLMESSAGE_ERROR | MB_OK | MB_ICONERROR), record.get());
  }
  bool RunsAsLocalSystem() const override { return setup::RunsAsLocalSystem(); }
  SaverChoice ReadChoice() const override { return setup::ReadChoice(); }
  long WriteChoice(const std::wstring& file) override { return setup::WriteChoice(file); }
  long ClearChoice() override { return setup::ClearChoice(); }
  // Through the system, so that the running session knows at once.
  long TurnSaverOn() override {
    if (SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) return 0;
    return FailureCode(GetLastError());
  }
  bool NamesFile(std::wstring_view value, std::wstring_view file) const override {
    return setup::NamesFile(value, file);
  }

private:
  MSIHANDLE install_;
};

UINT Ran(bool succeeded) { return succeeded ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE; }

}  // namespace

// Immediate: checks SETASSAVER and schedules the deferred actions.
extern "C" __declspec(dllexport) UINT __stdcall SaverPlan(MSIHANDLE install) {
  MsiHost host(install);
  return Ran(setup::SaverPlan(host));
}

// Deferred (CustomActionData: the installed file): SETASSAVER=1.
extern "C" __declspec(dllexport) UINT __stdcall SaverSet(MSIHANDLE install) {
  MsiHost host(install);
  return Ran(setup::SaverSet(host));
}

// Deferred (CustomActionData: the installed file), after the old version's removal.
extern "C" __declspec(dllexport) UINT __stdcall SaverKeep(MSIHANDLE install) {
  MsiHost host(install);
  return Ran(setup::SaverKeep(host));
}

// Deferred (CustomActionData: the file about to be removed).
extern "C" __declspec(dllexport) UINT __stdcall SaverClear(MSIHANDLE install) {
  MsiHost host(install);
  return Ran(setup::SaverClear(host));
}

}  // namespace salvanto::setup
