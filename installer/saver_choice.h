#pragma once
// What the installer's custom actions decide without asking Windows: the
// values SETASSAVER takes, and the path a screen-saver choice names before
// Windows makes it canonical (installer/saver_actions_win.cpp does that).
#include <string>
#include <string_view>

namespace salvanto::setup {

enum class SaverRequest {
  None,     // no SETASSAVER (or an empty one): the user's choice stays as it is
  Set,      // "1": the installing user's screen saver becomes this one
  Refused,  // anything else ("yes", "true", "2", " 1"): the install stops before it changes anything
};
SaverRequest ReadSaverRequest(std::wstring_view setAsSaver);

// The path in a SCRNSAVE.EXE value: blanks around it and one pair of quotes
// around that dropped (a lone quote stays: such a value names no file).
std::wstring_view UnquotedPath(std::wstring_view value);

// A relative path, a bare file name included, is taken in folder: Windows
// starts the screen saver from System32. A path from a drive or from the
// root stays as it is.
std::wstring InFolder(std::wstring_view path, std::wstring_view folder);

}  // namespace salvanto::setup
