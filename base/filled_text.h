#pragma once
// Text from a platform call that fills a buffer it is given and, when the
// buffer is too small, says how big it must be. The buffer grows and the
// call is made again; a bounded number of times, since the text may grow
// between two calls and a call that keeps asking for more must not hold
// the program forever.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace salvanto {

// What one call answered.
struct TextFill {
  enum Outcome { Filled, TooSmall, Failed } outcome = Failed;
  std::size_t count = 0;  // Filled: characters written; TooSmall: characters the buffer needs
  long error = 0;         // the platform's error code when not Filled
};

// The text up to its first NUL, or nothing and the last call's error.
struct FilledText {
  std::optional<std::wstring> text;
  long error = 0;
};

inline constexpr int kFillAttempts = 8;
using FillCall = std::function<TextFill(wchar_t* buffer, std::size_t capacity)>;
FilledText FillText(const FillCall& fill, std::size_t capacity = 260);

// The answer of a call that returns an error code (0: done; 234, "more
// data": too small) and a count.
inline constexpr long kErrorMoreData = 234;
TextFill StatusAnswer(long status, std::size_t count);

// The answer of a call that returns the length it wrote, the buffer it
// needs when that is too small (counting the terminating NUL), or 0 when
// it fails.
TextFill LengthAnswer(std::size_t length, std::size_t capacity);

}  // namespace salvanto
