#include "slideshow/captions.h"

#include <array>

namespace salvanto {
namespace {

// The category table in the order it is searched.
struct CaptionRow {
  std::wstring_view code;
  std::wstring_view caption;
};

constexpr std::array<CaptionRow, 39> kTable{{
    {L"JA", L"Painter Portfolio "},
    {L"AZ", L"1990-1995 Performance Model "},
    {L"BC", L"Tuner Coupe "},
    {L"C5", L"Fifth Series Emblem "},
    {L"CA", L"Additional Clip Art "},
    {L"CC", L"Tuner Twin-Turbo "},
    {L"CV", L"Custom Salvantos"},
    {L"DP", L"Prototypes "},
    {L"DR", L"Race Cars "},
    {L"EM", L"Salvanto Emblems "},
    {L"ES", L"Salvanto Ski Boat "},
    {L"FL", L"Tuner Shop Cars "},
    {L"FM", L"Builder Cars "},
    {L"GA", L"Art Print One "},
    {L"GB", L"Art Print Two "},
    {L"GH", L"National Salvanto Museum Print "},
    {L"GL", L"Art Print Three "},
    {L"GS", L"Automotive Concepts "},
    {L"GT", L"GTR Roadster "},
    {L"MA", L"Salvanto Americana "},
    {L"MN", L"The National Salvanto Museum "},
    {L"MS", L"Miscellany "},
    {L"TC", L"Salvanto Calendars "},
    {L"TD", L"Scale Replica Model "},
    {L"TE", L"Collector Knives "},
    {L"TF", L"Die-cast Models "},
    {L"TI", L"Fuel Injected Engine Model "},
    {L"TP", L"Collector Plates "},
    {L"TT", L"Top Ten Salvanto People "},
    {L"TX", L"Salvanto Holiday Cards "},
    {L"TW", L"Salvanto Pocket Watch "},
    {L"US", L"Salvanto Board Game "},
    {L"VM", L"Salvanto Metal Signs "},
    {L"VR", L"Plastic Kit Models"},
    {L"XP", L"Salvanto Pinball Machine "},
    {L"ZY", L"Salvanto Coin "},
    {L"ZW", L"Salvanto Rubber Stamps "},
    {L"ZX", L"Salvanto Playing Cards "},
    {L"ZZ", L"Salvanto Philately "},
}};

constexpr std::wstring_view kYearTail = L" Salvanto   ";

// The code stands one character past the marker's end: "SALVAS_JA001" has
// the separator "_" between the marker and "JA".
constexpr std::size_t kCodeOffset = kMarker.size() + 1;

}  // namespace

std::size_t InStr(std::wstring_view text, std::wstring_view what) {
  const std::size_t at = text.find(what);
  return at == std::wstring_view::npos ? 0 : at + 1;
}

std::wstring_view Mid(std::wstring_view text, std::size_t start, std::size_t length) {
  if (start == 0 || start > text.size()) return {};
  return text.substr(start - 1, length);
}

std::wstring CaptionFor(std::wstring_view upperPath, std::size_t markerPos) {
  const std::wstring_view code = Mid(upperPath, markerPos + kCodeOffset, 2);
  for (const CaptionRow& row : kTable) {
    if (row.code == code) return std::wstring(row.caption);
  }
  // A text comparison by character code: true for exactly the digits 5 to 9.
  const std::wstring_view first = Mid(upperPath, markerPos + kCodeOffset, 1);
  std::wstring caption;
  if (first >= L"5" && first <= L"9") {
    caption = L"  19";
    caption += Mid(upperPath, markerPos + kCodeOffset, 2);
  } else {
    caption = L"  200";
    caption += Mid(upperPath, markerPos + kCodeOffset + 1, 1);
  }
  caption += kYearTail;
  return caption;
}

}  // namespace salvanto
