#include "base/errors.h"

#include <algorithm>

namespace salvanto {

namespace {
bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Characters that do not show themselves but change how the text around
// them reads: controls (C0, DEL, C1), line and paragraph separators, and
// the marks that turn the direction of what follows.
bool ChangesTheReading(wchar_t c) {
  struct Range {
    wchar_t first, last;
  };
  static constexpr Range kRanges[] = {{0x0000, 0x001F}, {0x007F, 0x009F}, {0x061C, 0x061C},
                                      {0x200E, 0x200F}, {0x2028, 0x202E}, {0x2066, 0x2069}};
  return std::ranges::any_of(kRanges, [c](Range r) { return c >= r.first && c <= r.last; });
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
  return out;
}
}  // namespace

RuntimeError::RuntimeError(ErrorKind kind, std::wstring detail)
    : std::runtime_error(Narrow(ErrorName(kind) + L": " + detail)), kind_(kind), detail_(std::move(detail)) {}

std::wstring ErrorName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::TypeMismatch:
      return L"Type mismatch";
    case ErrorKind::Overflow:
      return L"Overflow";
    case ErrorKind::InvalidPropertyValue:
      return L"Invalid property value";
    case ErrorKind::FloatingPoint:
      return L"Floating-point error";
  }
  return L"Run-time error";
}

std::wstring QuotedExcerpt(std::wstring_view text) {
  std::size_t length = text.size();
  if (length > kQuotedLength) {
    length = kQuotedLength;
    // Never half of a character that takes two UTF-16 units.
    if (IsHighSurrogate(text[length - 1]) && IsLowSurrogate(text[length])) --length;
  }
  std::wstring quoted = L"\"";
  for (std::size_t i = 0; i < length; ++i) {
    const wchar_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
      quoted += text.substr(i++, 2);
    } else {
      // Half a pair is no character at all.
      quoted += ChangesTheReading(c) || IsHighSurrogate(c) || IsLowSurrogate(c) ? L'?' : c;
    }
  }
  if (length < text.size()) quoted += L'\u2026';
  return quoted + L"\"";
}

std::wstring RuntimeError::Report() const {
  return L"Run-time error '" + std::to_wstring(Number()) + L"':\r\n\r\n" + ErrorName(kind_) + L"\r\n\r\n" + detail_;
}

}  // namespace salvanto
