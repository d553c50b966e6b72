#include "program/mode.h"

#include <algorithm>

namespace salvanto {

Mode ChooseMode(bool previousInstance, std::wstring_view argumentText) {
  if (previousInstance) return Mode::Ended;
  return argumentText.substr(0, 2) == L"/c" ? Mode::Settings : Mode::Slideshow;
}

std::wstring_view ArgumentText(std::wstring_view commandLine) {
  constexpr std::wstring_view kBlanks = L" \t";
  std::size_t pathEnd = commandLine.find_first_of(kBlanks);
  if (commandLine.starts_with(L'"')) {
    // A quoted path runs to the closing quote; a missing one means no arguments.
    pathEnd = commandLine.find(L'"', 1);
    if (pathEnd == std::wstring_view::npos) return {};
    ++pathEnd;
  }
  // What follows the path, without the blanks before it.
  return commandLine.substr(std::min(commandLine.find_first_not_of(kBlanks, pathEnd), commandLine.size()));
}

}  // namespace salvanto
