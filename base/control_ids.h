#pragma once
// Child-window identifiers of both windows' controls, and the class names
// of the program's windows.

namespace salvanto {

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
  kIdSSCommand4Set = 208,
  kIdSSCommand5Help = 210,
  kIdSSCommand6Exit = 209,
};

// Window class names, one per kind of window.
inline constexpr wchar_t kForm1Class[] = L"Salvanto.Form1";
inline constexpr wchar_t kSettingsClass[] = L"Salvanto.frmSSSettings";
inline constexpr wchar_t kPanelClass[] = L"Salvanto.SSPanel";
inline constexpr wchar_t kImageClass[] = L"Salvanto.Image";
inline constexpr wchar_t kCommandClass[] = L"Salvanto.SSCommand";
inline constexpr wchar_t kSpinClass[] = L"Salvanto.SpinButton";
inline constexpr wchar_t kLabelClass[] = L"Salvanto.Label";
inline constexpr wchar_t kCoverClass[] = L"Salvanto.Cover";

}  // namespace salvanto
