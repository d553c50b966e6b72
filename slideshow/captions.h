#pragma once
// Captions decoded from a photo's path: a two-character code behind the
// marker "SALVAS" names a category, any other code is read as a model year.
// Positions are 1-based and counted in UTF-16 units of the whole path, as
// the collection's own tools count them.
#include <cstddef>
#include <string>
#include <string_view>

namespace salvanto {

inline constexpr std::wstring_view kMarker = L"SALVAS";

// 1-based position of the first occurrence of what in text, compared
// exactly (case matters); 0 when absent.
std::size_t InStr(std::wstring_view text, std::wstring_view what);

// Up to length characters from the 1-based position start; a range past
// the end gives the characters that exist, possibly none.
std::wstring_view Mid(std::wstring_view text, std::size_t start, std::size_t length);

// The caption of an upper-cased path whose marker starts at markerPos
// (0 when it has none): the two-character code one past the marker's end
// (markerPos + 7) from the table, or else
// the year rule.
std::wstring CaptionFor(std::wstring_view upperPath, std::size_t markerPos);

}  // namespace salvanto
