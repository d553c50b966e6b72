#include "installer/saver_choice.h"

#include <algorithm>

namespace salvanto::setup {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring_view Trimmed(std::wstring_view text) {
  constexpr std::wstring_view kBlanks = L" \t";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

std::wstring ErrorText(long error) { return L" (error " + std::to_wstring(error) + L")"; }

// As the installer compares property values: ignoring case.
bool SameText(std::wstring_view a, std::wstring_view b) {
  const auto upper = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
  return std::ranges::equal(a, b, {}, upper, upper);
}

bool PlanRemoval(SaverHost& host, const std::wstring& file) {
  const std::wstring upgrade = host.Property(L"UPGRADINGPRODUCTCODE");
  if (!upgrade.empty()) {
    host.Log(L"removed by the upgrade to " + upgrade + L": the screen saver choice is left to it");
    return true;
  }
  return host.SetProperty(L"SaverClear", file);
}

bool PlanInstall(SaverHost& host, const std::wstring& file) {
  const std::wstring setAsSaver = host.Property(L"SETASSAVER");
  switch (ReadSaverRequest(setAsSaver)) {
    case SaverRequest::Refused:
      host.ShowRefusal(setAsSaver);
      host.Log(L"SETASSAVER=" + Quoted(setAsSaver) + L" refused: only 1 is taken; the install stops");
      return false;
    case SaverRequest::Set:
      if (host.RunsAsLocalSystem()) {
        host.Log(
            L"SETASSAVER=1 declined: the install runs as LocalSystem, whose screen saver no user sees; no choice is "
            L"changed");
        return true;
      }
      return host.SetProperty(L"SaverSet", file);
    case SaverRequest::None:
      break;
  }
  const SaverChoice choice = host.ReadChoice();
  if (choice.value && host.NamesFile(*choice.value, file)) {
    // An upgrade or a reinstall: the old version's removal may clear the choice.
    return host.SetProperty(L"SaverKeep", file);
  }
  host.Log(L"no SETASSAVER: the screen saver choice (" +
           (choice.value         ? Quoted(*choice.value)
            : choice.status == 0 ? L"none"
                                 : L"unread") +
           L") is left as it is");
  return true;
}

}  // namespace

bool SaverPlan(SaverHost& host) {
  const std::wstring file = host.Property(L"SaverFile");
  return SameText(host.Property(L"REMOVE"), L"ALL") ? PlanRemoval(host, file) : PlanInstall(host, file);
}

bool SaverSet(SaverHost& host) {
  const std::wstring file = host.Property(L"CustomActionData");
  if (const long status = host.WriteChoice(file)) {
    host.Log(L"SETASSAVER=1: SCRNSAVE.EXE could not be set to " + Quoted(file) + ErrorText(status));
    return false;
  }
  if (const long status = host.TurnSaverOn()) {
    host.Log(L"SETASSAVER=1: SCRNSAVE.EXE set to " + Quoted(file) + L", but the screen saver could not be turned on" +
             ErrorText(status));
    return false;
  }
  host.Log(L"SETASSAVER=1: SCRNSAVE.EXE set to " + Quoted(file) + L" and the screen saver turned on");
  return true;
}

bool SaverKeep(SaverHost& host) {
  const std::wstring file = host.Property(L"CustomActionData");
  const SaverChoice choice = host.ReadChoice();
  if (choice.value && host.NamesFile(*choice.value, file)) {
    host.Log(L"the screen saver choice " + Quoted(*choice.value) + L" names the new file: left as it is");
  } else if (const long status = host.WriteChoice(file)) {
    host.Log(L"the screen saver choice named the replaced file and is gone; it could not be put back" +
             ErrorText(status));
  } else {
    host.Log(L"the screen saver choice named the replaced file and is gone: SCRNSAVE.EXE set to " + Quoted(file) +
             L" again");
  }
  return true;  // the install itself went well
}

// A choice that cannot be cleared does not stop the removal.
bool SaverClear(SaverHost& host) {
  const std::wstring file = host.Property(L"CustomActionData");
  const SaverChoice choice = host.ReadChoice();
  if (!choice.value) {
    host.Log(choice.status == 0 ? L"no screen saver chosen: nothing to clear"
                                : L"the screen saver choice could not be read" + ErrorText(choice.status));
  } else if (!host.NamesFile(*choice.value, file)) {
    host.Log(L"SCRNSAVE.EXE " + Quoted(*choice.value) + L" names another screen saver: left as it is");
  } else if (const long status = host.ClearChoice()) {
    host.Log(L"SCRNSAVE.EXE " + Quoted(*choice.value) + L" names the removed file but could not be cleared" +
             ErrorText(status));
  } else {
    host.Log(L"SCRNSAVE.EXE " + Quoted(*choice.value) + L" named the removed file: cleared");
  }
  return true;
}

SaverRequest ReadSaverRequest(std::wstring_view setAsSaver) {
  if (setAsSaver.empty()) return SaverRequest::None;
  return setAsSaver == L"1" ? SaverRequest::Set : SaverRequest::Refused;
}

std::wstring_view UnquotedPath(std::wstring_view value) {
  const std::wstring_view path = Trimmed(value);
  if (path.size() >= 2 && path.starts_with(L'"') && path.ends_with(L'"')) {
    return Trimmed(path.substr(1, path.size() - 2));
  }
  return path;
}

std::wstring InFolder(std::wstring_view path, std::wstring_view folder) {
  const bool anchored = (!path.empty() && IsSeparator(path.front())) || (path.size() >= 2 && path[1] == L':');
  if (path.empty() || anchored) return std::wstring(path);
  std::wstring joined(folder);
  if (!joined.empty() && !IsSeparator(joined.back())) joined += L'\\';
  return joined.append(path);
}

}  // namespace salvanto::setup
