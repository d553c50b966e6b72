// Any photo path, any length, any characters: the caption is the one its
// code gives, a category's or a year's, and decoding never reads outside
// the path.
#include <cstddef>
#include <cstdint>
#include <cwctype>
#include <string>

#include "slideshow/captions.h"

namespace {

bool StartsWith(const std::wstring& text, std::wstring_view prefix) { return text.rfind(prefix, 0) == 0; }
bool EndsWith(const std::wstring& text, std::wstring_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring path;
  for (std::size_t i = 0; i + 1 < size; i += 2) path += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  std::wstring upper = path;
  for (auto& c : upper) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));

  const std::size_t markerPos = salvanto::InStr(path, salvanto::kMarker);
  if (markerPos > path.size()) __builtin_trap();
  const std::wstring caption = salvanto::CaptionFor(upper, markerPos);

  // The code alone decides: a category's caption, or a year's.
  const std::wstring code(salvanto::Mid(upper, markerPos + 7, 2));
  if (salvanto::CaptionFor(L"SALVAS_" + code, 1) != caption) __builtin_trap();
  const bool isYear =
      (StartsWith(caption, L"  19") || StartsWith(caption, L"  200")) && EndsWith(caption, L" Salvanto   ");
  if (isYear && caption.size() > 18) __builtin_trap();
  if (!isYear && (caption.empty() || caption.size() > 31 || StartsWith(caption, L" "))) __builtin_trap();

  // Positions past the end of the path give what exists, possibly nothing.
  if (size >= 2) {
    const std::size_t start = 1 + data[0] % (path.size() + 4);
    if (salvanto::Mid(path, start, data[1] % 4).size() > 3) __builtin_trap();
  }
  return 0;
}
