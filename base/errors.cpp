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

std::wstring RuntimeError::Report() const {
  return L"Run-time error '" + std::to_wstring(Number()) + L"':\r\n\r\n" + ErrorName(kind_) + L"\r\n\r\n" + detail_;
}

}  // namespace salvanto
