#include "program/mode.h"

namespace salvanto {

Mode ChooseMode(bool previousInstance, std::wstring_view argumentText) {
  if (previousInstance) return Mode::Ended;
  return argumentText.substr(0, 2) == L"/c" ? Mode::Settings : Mode::Slideshow;
}

std::wstring_view ArgumentText(std::wstring_view commandLine) {
  size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    // A quoted path runs to the closing quote; a missing one means no arguments.
    size_t close = commandLine.find(L'"', 1);
    if (close == std::wstring_view::npos) return {};
    i = close + 1;
  } else {
    while (i < commandLine.size() && commandLine[i] != L' ' && commandLine[i] != L'\t') ++i;
  }
  while (i < commandLine.size() && (commandLine[i] == L' ' || commandLine[i] == L'\t')) ++i;
  return commandLine.substr(i);
}

}  // namespace salvanto
