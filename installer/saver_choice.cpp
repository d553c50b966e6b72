#include "installer/saver_choice.h"

namespace salvanto::setup {
namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring_view Trimmed(std::wstring_view text) {
  constexpr std::wstring_view kBlanks = L" \t";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

}  // namespace

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
