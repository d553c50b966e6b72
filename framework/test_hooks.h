#pragma once
// What the program shows only to tools that look at it from outside (the
// end-to-end inspector): a name for each control, and Timer1's period; and
// what the in-process tests set that the system under test cannot.
#include <windows.h>

#include <optional>

#include "base/control_ids.h"

namespace salvanto::win {

struct ControlName {
  int id;
  const wchar_t* name;
};

inline constexpr ControlName kControlNames[] = {
    {kIdPanYear, L"panYear"},
    {kIdSSPanel1, L"SSPanel1"},
    {kIdImage1, L"Image1"},
    {kIdImage2, L"Image2"},
    {kIdPnlSSaver, L"pnlSSaver"},
    {kIdLabel7, L"Label7"},
    {kIdLabel8, L"Label8"},
    {kIdDialogImage2, L"Image2"},
    {kIdLabel9, L"Label9"},
    {kIdSpinInterval, L"SpinInterval"},
    {kIdPanInterval, L"panInterval"},
    {kIdSSCommand4Set, L"SSCommand4"},
    {kIdSSCommand6Exit, L"SSCommand6"},
    {kIdSSCommand5Help, L"SSCommand5"},
};

// Window property on Form1 that holds Timer1's period in milliseconds, for
// tests that check what the stored interval became.
inline constexpr wchar_t kTimerIntervalProperty[] = L"Salvanto.Timer1.Interval";

// Gives monitors the densities a test asks for, where the display cannot
// (Wine has one density for every monitor); null gives the platform's back.
using MonitorDpiSource = int (*)(HMONITOR monitor);
void SetMonitorDpiSource(MonitorDpiSource source);

// HighContrast() reports on or off whatever the system says, or (nullopt)
// the system's setting again: Wine cannot switch high contrast on.
void OverrideHighContrast(std::optional<bool> on);

}  // namespace salvanto::win
