#pragma once
// The settings dialog's rules: the sixteen delays and how the spin button
// steps through them, what the delay display reads, the help message, and
// the five events of the dialog over the platform's interfaces.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/platform.h"

namespace salvanto {

// One step of the spin button. The listed pairs come first, in the order
// tested; any other delay moves by 5000 ms. Both directions wrap between
// one and sixty seconds. A step that would leave the 32-bit range is an
// Overflow run-time error instead of a wrapped number.
std::int32_t StepDown(std::int32_t delayMs);
std::int32_t StepUp(std::int32_t delayMs);

// What the delay display reads when the dialog opens.
inline constexpr std::wstring_view kOpeningCaption = L"1 Second";
// What it reads after a step: the delay text and " Seconds", always plural.
std::wstring StepCaption(std::int32_t delayMs);

// The help message box: its title and its text, which ends with two line breaks.
inline constexpr std::wstring_view kHelpTitle = L"The Salvanto Anthology Screen Saver Settings";
std::wstring HelpText();

// The dialog's events. The window calls one per spin step or button
// click and shows the caption a step returns.
class DelayEditor {
public:
  // delayMs: where the delay starts, as Main sets it.
  DelayEditor(Platform& platform, std::int32_t delayMs) : platform_(platform), DelayMs_(delayMs) {}

  // A notification from one of the dialog's controls (its id and code):
  // a step returns the display's new caption. Nothing else means anything,
  // Enter's and Escape's IDOK and IDCANCEL included.
  std::optional<std::wstring> Command(int control, unsigned code);

  std::wstring SpinDown();   // the down arrow: steps DelayMs, returns the new caption
  std::wstring SpinUp();     // the up arrow
  void Set();                // writes the delay text to Interval; a refused write throws
  void Help();               // shows the help message and waits for it
  [[noreturn]] void Exit();  // EndScreenSaver: nothing is saved

private:
  Platform& platform_;
  std::int32_t DelayMs_;  // the working delay
};

}  // namespace salvanto
