#include "base/errors.h"

namespace salvanto {

namespace {
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
    if (text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
  }
  std::wstring quoted = L"\"";
  for (wchar_t c : text.substr(0, length)) quoted += (c < 0x20 || c == 0x7F) ? L'?' : c;
  if (length < text.size()) quoted += L'\u2026';
  return quoted + L"\"";
}

std::wstring RuntimeError::Report() const {
  return L"Run-time error '" + std::to_wstring(Number()) + L"':\r\n\r\n" + ErrorName(kind_) + L"\r\n\r\n" + detail_;
}

}  // namespace salvanto
