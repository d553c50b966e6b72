#pragma once
#include <string>
#include <string_view>

namespace salvanto {

enum class Mode {
  Ended,      // another copy runs: end at once, whatever the command line says
  Settings,   // "/c": the settings dialog
  Slideshow,  // anything else, /s, /p <hwnd> and an empty line included
};

// Only the first two characters count, compared case-sensitively with "/c";
// nothing is trimmed, and whatever follows them (a window handle) is ignored.
Mode ChooseMode(bool previousInstance, std::wstring_view argumentText);

// What Windows passes a screen saver after its own name: the command line
// without the program's path and the blanks that separate it from the rest.
std::wstring_view ArgumentText(std::wstring_view commandLine);

}  // namespace salvanto
