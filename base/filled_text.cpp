#include "base/filled_text.h"

#include <algorithm>

namespace salvanto {

FilledText FillText(const FillCall& fill, std::size_t capacity) {
  TextFill answer;
  for (int attempt = 0; attempt < kFillAttempts; ++attempt) {
    std::wstring text(capacity, L'\0');
    answer = fill(text.data(), text.size());
    if (answer.outcome == TextFill::Failed) break;
    if (answer.outcome == TextFill::Filled) {
      // Never beyond the buffer, whatever the count says.
      text.resize(std::min(answer.count, text.size()));
      text.erase(std::find(text.begin(), text.end(), L'\0'), text.end());
      return {std::move(text), 0};
    }
    // At least one more: a call that asks for what it had goes on asking.
    capacity = std::max(answer.count, capacity + 1);
  }
  return {std::nullopt, answer.error};
}

TextFill StatusAnswer(long status, std::size_t count) {
  if (status == 0) return {TextFill::Filled, count};
  return {status == kErrorMoreData ? TextFill::TooSmall : TextFill::Failed, count, status};
}

TextFill LengthAnswer(std::size_t length, std::size_t capacity) {
  if (length == 0) return {};
  return {length < capacity ? TextFill::Filled : TextFill::TooSmall, length};
}

}  // namespace salvanto
