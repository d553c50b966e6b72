#include <windows.h>

#include <optional>

#include "framework/high_contrast.h"
#include "framework/test_hooks.h"

namespace salvanto::win {
namespace {

std::optional<bool> g_highContrast;

}  // namespace

void OverrideHighContrast(std::optional<bool> on) { g_highContrast = on; }

bool HighContrast() {
  if (g_highContrast) return *g_highContrast;
  HIGHCONTRASTW setting{};
  setting.cbSize = sizeof setting;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
         (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace salvanto::win
