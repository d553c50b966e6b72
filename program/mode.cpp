#include "program/mode.h"

#include <algorithm>

namespace salvanto {
namespace {

constexpr std::wstring_view kBlanks = L" \t";

// What follows the program's path, which ends at pathEnd (npos: the line's
// end), without the blanks before it.
std::wstring_view ArgumentsAfter(std::wstring_view commandLine, size_t pathEnd) {
  return commandLine.substr(std::min(commandLine.find_first_not_of(kBlanks, pathEnd), commandLine.size()));
}

}  // namespace

Mode ChooseMode(bool previousInstance, std::wstring_view argumentText) {
  if (previousInstance) return Mode::Ended;
  return argumentText.substr(0, 2) == L"/c" ? Mode::Settings : Mode::Slideshow;
}

std::wstring_view ArgumentText(std::wstring_view commandLine) {
  if (!commandLine.starts_with(L'"')) return ArgumentsAfter(commandLine, commandLine.find_first_of(kBlanks));
  // A quoted path runs to the closing quote; a missing one means no arguments.
  const size_t close = commandLine.find(L'"', 1);
  return close == std::wstring_view::npos ? std::wstring_view{} : ArgumentsAfter(commandLine, close + 1);
}

}  // namespace salvanto
