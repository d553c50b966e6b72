#include "base/settings.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "base/errors.h"

namespace salvanto {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Checks the text against [sign] digits [sep digits] [e [sign] digits] and
// returns it in the C locale's spelling, or an empty string when it is not a
// number. A lone separator or an exponent without digits is not a number.
std::string CanonicalNumber(std::wstring_view text, wchar_t decimalSeparator) {
  std::string out;
  size_t i = 0;
  // The character at i; past the end, one that no part of a number is (the
  // separator is never NUL).
  const auto next = [&] { return i < text.size() ? text[i] : L'\0'; };
  auto take_digits = [&] {
    size_t start = i;
    while (IsDigit(next())) out += static_cast<char>(text[i++]);
    return i - start;
  };
  if (next() == L'+' || next() == L'-') {
    if (next() == L'-') out += '-';
    ++i;
  }
  size_t mantissaDigits = take_digits();
  if (next() == decimalSeparator) {
    out += '.';
    ++i;
    mantissaDigits += take_digits();
  }
  if (mantissaDigits == 0) return {};
  if (next() == L'e' || next() == L'E') {
    out += 'e';
    ++i;
    if (next() == L'+' || next() == L'-') out += static_cast<char>(text[i++]);
    if (take_digits() == 0) return {};
  }
  return i == text.size() ? out : std::string{};
}

}  // namespace

std::int32_t TextToWholeNumber(std::wstring_view text, wchar_t decimalSeparator) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

  const std::string number = CanonicalNumber(text, decimalSeparator);
  if (number.empty()) {
    throw RuntimeError(ErrorKind::TypeMismatch, QuotedExcerpt(text) + L" is not a number.");
  }
  // The canonical text is in the C locale's spelling, which the program never
  // changes. strtod gives +-HUGE_VAL past a double's range and 0 below it.
  const double value = std::strtod(number.c_str(), nullptr);
  // Round half to even (the default rounding mode), then check the range.
  const double whole = std::nearbyint(value);
  if (!(whole >= static_cast<double>(std::numeric_limits<std::int32_t>::min()) &&
        whole <= static_cast<double>(std::numeric_limits<std::int32_t>::max()))) {
    throw RuntimeError(ErrorKind::Overflow, QuotedExcerpt(text) + L" is outside the range of a 32-bit whole number.");
  }
  return static_cast<std::int32_t>(whole);
}

std::int32_t ReadIntervalSeconds(SettingsStore& store, const TextConventions& conventions) {
  const std::wstring text = store.Read(kAppTitle, kSection, kIntervalKey, kIntervalDefault);
  try {
    return TextToWholeNumber(text, conventions.DecimalSeparator());
  } catch (const RuntimeError& e) {
    throw RuntimeError(e.Kind(), L"The setting Interval holds " + QuotedExcerpt(text) +
                                     L", which is not a whole number of seconds (" + ErrorName(e.Kind()) + L").");
  }
}

std::wstring ReadPhotoDir(SettingsStore& store, const TextConventions& conventions) {
  return conventions.Upper(store.Read(kAppTitle, kSection, kPhotoDirKey, kPhotoDirDefault));
}

std::wstring DelayText(std::int32_t delayMs) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(delayMs) / 1000.0);
  (void)ec;  // 32 characters hold any double's shortest form
  return std::wstring(buffer, end);
}

void SaveDelay(SettingsStore& store, std::int32_t delayMs) {
  store.Write(kAppTitle, kSection, kIntervalKey, DelayText(delayMs));
}

std::wstring SettingsKeyPath(std::wstring_view app, std::wstring_view section) {
  std::wstring path = L"Software\\VB and VBA Program Settings\\";
  path += app;
  path += L'\\';
  path += section;
  return path;
}

}  // namespace salvanto
