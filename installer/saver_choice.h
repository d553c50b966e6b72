#pragma once
// What the installer's custom actions decide, the installing user's
// screen-saver choice (SCRNSAVE.EXE), apart from how Windows reads and
// writes it (installer/saver_actions_win.cpp):
// - SaverPlan runs at once, before anything changes, and leaves the
//   deferred actions their data, the installed file's path (SaverFile);
// - SaverSet (SETASSAVER=1) makes it the user's screen saver and turns the
//   screen saver on;
// - SaverKeep, at an install without SETASSAVER over a version the user had
//   chosen, puts that choice back if the old version's removal cleared it;
// - SaverClear, at removal, clears the choice while it names the removed
//   file in any form.
// Each action writes one line to the installer's log for what it does or
// declines to do.
#include <optional>
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

// The user's choice as read: none, a value, or unread (status: the error).
struct SaverChoice {
  long status = 0;
  std::optional<std::wstring> value;
};

// What the user reads when SETASSAVER is refused ([1]: its value).
inline constexpr wchar_t kRefusalMessage[] =
    L"SETASSAVER=\"[1]\" is not a value this installer takes. SETASSAVER=1 makes the screen saver the current one of "
    L"the user who installs it; without SETASSAVER that user's choice stays as it is. Nothing has been installed.";

// A change the system refused: its error, or ERROR_GEN_FAILURE (31) when
// it gave none, so that the failure is never taken for success.
inline long FailureCode(unsigned long error) { return error ? static_cast<long>(error) : 31; }

// What the actions ask of the installer and of Windows. Each write answers
// 0 or the error.
class SaverHost {
public:
  virtual std::wstring Property(std::wstring_view name) const = 0;
  // Leaves a deferred action its data; an action without data does not run.
  virtual bool SetProperty(std::wstring_view name, const std::wstring& value) = 0;
  virtual void Log(const std::wstring& line) = 0;
  // Tells the user that SETASSAVER has a value this installer does not take.
  virtual void ShowRefusal(const std::wstring& setAsSaver) = 0;
  // Deployment tools install as LocalSystem: a choice made there is the
  // SYSTEM profile's, which no user sees.
  virtual bool RunsAsLocalSystem() const = 0;
  virtual SaverChoice ReadChoice() const = 0;
  virtual long WriteChoice(const std::wstring& file) = 0;
  virtual long ClearChoice() = 0;
  virtual long TurnSaverOn() = 0;
  // Whether a SCRNSAVE.EXE value names the file, both in the one form
  // Windows would give them.
  virtual bool NamesFile(std::wstring_view value, std::wstring_view file) const = 0;

protected:
  ~SaverHost() = default;
};

// The four actions; false fails the install.
bool SaverPlan(SaverHost& host);
bool SaverSet(SaverHost& host);
bool SaverKeep(SaverHost& host);
bool SaverClear(SaverHost& host);

}  // namespace salvanto::setup
