#pragma once
// Child-window identifiers of both windows' controls. Outside tools (the
// end-to-end inspector) use the same table to name what they see.

namespace salvanto::win {

enum ControlId : int {
  kIdPanYear = 101,
  kIdSSPanel1 = 102,
  kIdImage1 = 103,
  kIdImage2 = 104,
  kIdPnlSSaver = 201,
  kIdLabel7 = 202,
  kIdLabel8 = 203,
  kIdDialogImage2 = 204,
  kIdLabel9 = 205,
  kIdSpinInterval = 206,
  kIdPanInterval = 207,
  kIdSSCommand4 = 208,
  kIdSSCommand6 = 209,
  kIdSSCommand5 = 210,
};

struct ControlName {
  int id;
  const wchar_t* name;
};

inline constexpr ControlName kControlNames[] = {
    {kIdPanYear, L"panYear"},         {kIdSSPanel1, L"SSPanel1"},
    {kIdImage1, L"Image1"},           {kIdImage2, L"Image2"},
    {kIdPnlSSaver, L"pnlSSaver"},     {kIdLabel7, L"Label7"},
    {kIdLabel8, L"Label8"},           {kIdDialogImage2, L"Image2"},
    {kIdLabel9, L"Label9"},           {kIdSpinInterval, L"SpinInterval"},
    {kIdPanInterval, L"panInterval"}, {kIdSSCommand4, L"SSCommand4"},
    {kIdSSCommand6, L"SSCommand6"},   {kIdSSCommand5, L"SSCommand5"},
};

// Window property on Form1 that holds Timer1's period in milliseconds, for
// tests that check what the stored interval became.
inline constexpr wchar_t kTimerIntervalProperty[] = L"Salvanto.Timer1.Interval";

// Window class names, one per kind of window.
inline constexpr wchar_t kForm1Class[] = L"Salvanto.Form1";
inline constexpr wchar_t kSettingsClass[] = L"Salvanto.frmSSSettings";
inline constexpr wchar_t kPanelClass[] = L"Salvanto.SSPanel";
inline constexpr wchar_t kImageClass[] = L"Salvanto.Image";
inline constexpr wchar_t kCommandClass[] = L"Salvanto.SSCommand";
inline constexpr wchar_t kSpinClass[] = L"Salvanto.SpinButton";
inline constexpr wchar_t kLabelClass[] = L"Salvanto.Label";
inline constexpr wchar_t kCoverClass[] = L"Salvanto.Cover";

}  // namespace salvanto::win
