#include "settings_dialog/delay.h"

#include "base/arith.h"
#include "base/control_ids.h"
#include "controls/button3d.h"
#include "controls/spin.h"

namespace salvanto {

namespace {

struct StepPair {
  std::int32_t from, to;
};

// The irregular end of the cycle (one-second steps, and the wrap-around);
// everything else is five seconds apart.
constexpr StepPair kDownPairs[] = {{1000, 60000}, {5000, 4000}, {4000, 3000}, {3000, 2000}, {2000, 1000}};
constexpr StepPair kUpPairs[] = {{60000, 1000}, {1000, 2000}, {2000, 3000}, {3000, 4000}, {4000, 5000}};

template <size_t N>
std::int32_t Step(const StepPair (&pairs)[N], std::int32_t delayMs, std::int32_t otherwise) {
  for (const StepPair& pair : pairs) {
    if (pair.from == delayMs) return pair.to;
  }
  return CheckedAdd(delayMs, otherwise, L"The photo delay of " + std::to_wstring(delayMs) + L" ms cannot be stepped");
}

}  // namespace

std::int32_t StepDown(std::int32_t delayMs) { return Step(kDownPairs, delayMs, -5000); }
std::int32_t StepUp(std::int32_t delayMs) { return Step(kUpPairs, delayMs, 5000); }

std::wstring StepCaption(std::int32_t delayMs) { return DelayText(delayMs) + L" Seconds"; }

std::wstring HelpText() {
  // Lines one and two end with a blank; every line ends in CR LF, and an
  // empty line stands after the third and the last.
  constexpr std::wstring_view kLines[] = {
      L"The Salvanto Anthology Screen Saver must be initially installed from ",
      L"within the Salvanto Anthology itself. Use this screen to adjust the ",
      L"timing interval of the presentation.",
      L"",
      L"Additional options exist allowing you to set the screen saver to use",
      L"all the photos from the Salvanto Anthology library or just the ones that",
      L"you have selected from the Screen Saver Photo Selection form. They",
      L"are available under the File/Install Screen Saver menu items within",
      L"the Salvanto Anthology software.",
      L"",
  };
  std::wstring text;
  for (std::wstring_view line : kLines) {
    text += line;
    text += L"\r\n";
  }
  return text;
}

std::optional<std::wstring> DelayEditor::Command(int control, unsigned code) {
  switch (control) {
    case kIdSpinInterval:
      if (code == SpinInput::kDownEvent) return SpinDown();
      if (code == SpinInput::kUpEvent) return SpinUp();
      break;
    case kIdSSCommand4Set:
      if (code == ButtonInput::kClicked) Set();
      break;
    case kIdSSCommand5Help:
      if (code == ButtonInput::kClicked) Help();
      break;
    case kIdSSCommand6Exit:
      if (code == ButtonInput::kClicked) Exit();
      break;
    default:
      break;
  }
  return std::nullopt;
}

std::wstring DelayEditor::SpinDown() {
  DelayMs_ = StepDown(DelayMs_);
  return StepCaption(DelayMs_);
}

std::wstring DelayEditor::SpinUp() {
  DelayMs_ = StepUp(DelayMs_);
  return StepCaption(DelayMs_);
}

void DelayEditor::Set() { SaveDelay(platform_.store, DelayMs_); }

void DelayEditor::Help() { platform_.boxes.ShowMessage(HelpText(), kHelpTitle); }

void DelayEditor::Exit() { EndScreenSaver(platform_.cursor, platform_.end); }

}  // namespace salvanto
