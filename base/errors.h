#pragma once
// The run-time errors that end the program: a setting that is not a number,
// an arithmetic overflow, a value a control refuses, a floating-point fault.
// They travel as exceptions up to Main, which reports them in one message box.
#include <stdexcept>
#include <string>
#include <string_view>

namespace salvanto {

enum class ErrorKind {
  TypeMismatch = 13,
  Overflow = 6,
  InvalidPropertyValue = 380,
  FloatingPoint = 11,  // division by zero, overflow or an invalid operation
};

class RuntimeError : public std::runtime_error {
public:
  RuntimeError(ErrorKind kind, std::wstring detail);

  ErrorKind Kind() const { return kind_; }
  int Number() const { return static_cast<int>(kind_); }
  // The whole text of the report box.
  std::wstring Report() const;

private:
  ErrorKind kind_;
  std::wstring detail_;  // what went wrong in the user's words: which value, what it held, and why
};

// The whole text of the report box for any other failure (what the
// exception says, its bytes taken as Latin-1), which ends the program with
// exit code 1.
std::wstring FatalReport(const char* what);

// The platform's short name of the error, e.g. L"Type mismatch".
std::wstring ErrorName(ErrorKind kind);

// A stored text as a detail quotes it: in quotes, its first kQuotedLength
// characters and an ellipsis when it is longer, and as "?" each character
// that would not show itself but may change how the box reads: a control
// (a line break, a tab), a format character (a mark that turns the text's
// direction, a zero-width joiner, a tag), a line or paragraph separator,
// half of a surrogate pair, a private-use or unassigned code point. Inside
// the quotes the excerpt is a directional isolate, so that right-to-left
// letters in it cannot reorder the rest of the line. Whatever the store
// holds, the box that shows it then stays within the screen, reads as it is
// written, and keeps the error's number and name in sight.
inline constexpr std::size_t kQuotedLength = 40;
std::wstring QuotedExcerpt(std::wstring_view text);

}  // namespace salvanto
