#include "program/mode.h"

#include <algorithm>

namespace salvanto {

Mode ChooseMode(bool previousInstance, std::wstring_view argumentText) {
  if (previousInstance) return Mode::Ended;
  return argumentText.substr(0, 2) == L"/c" ? Mode::Settings : Mode::Slideshow;
}

std::wstring_view ArgumentText(std::wstring_view commandLine) {
  constexpr std::wstring_view kBlanks = L" \t";
  size_t path = 0;
  if (commandLine.starts_with(L'"')) {
    // A quoted path runs to the closing quote; a missing one means no arguments.
    path = commandLine.find(L'"', 1);
    if (path == std::wstring_view::npos) return {};
    ++path;
  } else {
    path = std::min(commandLine.find_first_of(kBlanks), commandLine.size());
  }
  return commandLine.substr(std::min(commandLine.find_first_not_of(kBlanks, path), commandLine.size()));
}

}  // namespace salvanto
