#include "base/errors.h"

#include <algorithm>

namespace salvanto {

namespace {
bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Code points that do not show themselves but may change how the text
// around them reads, from the character database: controls, format
// characters (direction marks, joiners, tags, ...), surrogates, private use,
// unassigned code points, line and paragraph separators.
bool ChangesTheReading(char32_t c) {
  struct Range {
    char32_t first, last;
  };
  static constexpr Range kRanges[] = {
#include "base/invisible_chars.inc"
  };
  if (c > 0x10FFFF) return true;  // no character at all
  const auto* after = std::upper_bound(std::begin(kRanges), std::end(kRanges), c,
                                       [](char32_t code, const Range& r) { return code < r.first; });
  return after != std::begin(kRanges) && c <= (after - 1)->last;
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
  std::wstring quoted;
  for (std::size_t i = 0; i < length; ++i) {
    const wchar_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
      const char32_t code =
          0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
      quoted += ChangesTheReading(code) ? std::wstring(1, L'?') : std::wstring(text.substr(i, 2));
      ++i;
    } else {
      // Half a pair is no character at all (a surrogate).
      quoted += ChangesTheReading(static_cast<char32_t>(c)) ? L'?' : c;
    }
  }
  if (length < text.size()) quoted += L'\u2026';
  // Isolated, so that right-to-left letters in it cannot reorder the words
  // of the box around it.
  if (!quoted.empty()) quoted = L'\u2068' + quoted + L'\u2069';
  return L"\"" + quoted + L"\"";
}

std::wstring RuntimeError::Report() const {
  return L"Run-time error '" + std::to_wstring(Number()) + L"':\r\n\r\n" + ErrorName(kind_) + L"\r\n\r\n" + detail_;
}

std::wstring FatalReport(const char* what) {
  std::wstring text = L"The screen saver has to stop: ";
  for (const char* c = what; *c; ++c) text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  return text;
}

}  // namespace salvanto
