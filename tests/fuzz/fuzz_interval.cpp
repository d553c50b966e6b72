// Any stored Interval text: converted or refused with a run-time error,
// never undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/errors.h"
#include "base/settings.h"
#include "slideshow/layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  // The first byte picks the user's decimal separator; the rest is UTF-16 text.
  const wchar_t separator = (data[0] & 1) ? L',' : L'.';
  std::wstring text;
  for (std::size_t i = 1; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  try {
    const std::int32_t value = salvanto::TextToWholeNumber(text, separator);
    try {
      (void)salvanto::TimerPeriodMs(value);
    } catch (const salvanto::RuntimeError&) {
    }
    (void)salvanto::DelayText(value);
  } catch (const salvanto::RuntimeError& e) {
    if (e.Report().empty()) __builtin_trap();
  }
  return 0;
}
