#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "installer/saver_choice.h"

namespace salvanto::setup {
namespace {

TEST(ReadSaverRequest, TakesOnlyOneAsDocumented) {
  EXPECT_EQ(ReadSaverRequest(L""), SaverRequest::None);
  EXPECT_EQ(ReadSaverRequest(L"1"), SaverRequest::Set);
  for (const wchar_t* odd : {L"yes", L"true", L"2", L"0", L" 1", L"1 ", L"01", L"+1"}) {
    EXPECT_EQ(ReadSaverRequest(odd), SaverRequest::Refused) << odd;
  }
}

TEST(SaverPath, DropsQuotesAndBlanksAndTakesARelativePathInTheSystemFolder) {
  constexpr std::wstring_view kSystem = L"C:\\Windows\\System32";
  struct Case {
    const wchar_t* value;
    const wchar_t* path;
  };
  for (Case c :
       {Case{L"Salvanto2002.scr", L"C:\\Windows\\System32\\Salvanto2002.scr"},
        Case{L" \"Salvanto2002.scr\"\t", L"C:\\Windows\\System32\\Salvanto2002.scr"},
        Case{L"\" ..\\System32\\x.scr \"", L"C:\\Windows\\System32\\..\\System32\\x.scr"},
        Case{L"\"C:\\Program Files\\x.scr\" ", L"C:\\Program Files\\x.scr"},
        Case{L"c:/windows/x.scr", L"c:/windows/x.scr"}, Case{L"C:x.scr", L"C:x.scr"},
        Case{L"\\Windows\\x.scr", L"\\Windows\\x.scr"}, Case{L"\\\\server\\share\\x.scr", L"\\\\server\\share\\x.scr"},
        Case{L"\"\"", L""}, Case{L"  ", L""}}) {
    EXPECT_EQ(InFolder(UnquotedPath(c.value), kSystem), c.path) << c.value;
  }
  EXPECT_EQ(InFolder(L"x.scr", L"C:\\Windows\\System32\\"), L"C:\\Windows\\System32\\x.scr");
  EXPECT_EQ(UnquotedPath(L"\"C:\\x.scr"), L"\"C:\\x.scr");
}

// The installer and Windows as the actions see them: a value names the
// file when it is the file (Windows makes both canonical first).
struct FakeHost final : SaverHost {
  std::map<std::wstring, std::wstring, std::less<>> properties{{L"SaverFile", kFile}, {L"CustomActionData", kFile}};
  SaverChoice choice;
  bool localSystem = false;
  long writeError = 0, clearError = 0, onError = 0;
  std::wstring log, refused;  // the last line logged; the value refused
  static constexpr const wchar_t* kFile = L"C:\\Windows\\System32\\Salvanto2002.scr";

  std::wstring Property(std::wstring_view name) const override {
    const auto found = properties.find(name);
    return found == properties.end() ? L"" : found->second;
  }
  bool SetProperty(std::wstring_view name, const std::wstring& value) override {
    properties[std::wstring(name)] = value;
    return true;
  }
  void Log(const std::wstring& line) override { log = line; }
  void ShowRefusal(const std::wstring& setAsSaver) override { refused = setAsSaver; }
  bool RunsAsLocalSystem() const override { return localSystem; }
  SaverChoice ReadChoice() const override { return choice; }
  long WriteChoice(const std::wstring& file) override {
    if (!writeError) choice.value = file;
    return writeError;
  }
  long ClearChoice() override {
    if (!clearError) choice.value.reset();
    return clearError;
  }
  long TurnSaverOn() override { return onError; }
  bool NamesFile(std::wstring_view value, std::wstring_view file) const override { return value == file; }
};

TEST(SaverActions, ThePlanRefusesOrSchedulesOneActionOrLeavesTheChoiceAndSaysWhich) {
  const std::wstring file = FakeHost::kFile, other = L"C:\\x.scr";
  struct Case {
    std::map<std::wstring, std::wstring, std::less<>> properties;
    SaverChoice choice;
    bool localSystem;
    bool succeeds;
    const wchar_t* scheduled;  // the deferred action left its data, or none
    const wchar_t* logged;     // in the log line
  };
  const Case cases[] = {
      {{{L"SETASSAVER", L"yes"}}, {0, other}, false, false, nullptr, L"SETASSAVER=\"yes\" refused"},
      {{{L"SETASSAVER", L"1"}}, {0, other}, false, true, L"SaverSet", L""},
      {{{L"SETASSAVER", L"1"}}, {}, true, true, nullptr, L"declined: the install runs as LocalSystem"},
      {{}, {0, file}, false, true, L"SaverKeep", L""},
      {{}, {0, other}, false, true, nullptr, L"(\"C:\\x.scr\") is left as it is"},
      {{}, {5, {}}, false, true, nullptr, L"(unread)"},
      {{{L"REMOVE", L"All"}}, {0, file}, false, true, L"SaverClear", L""},
      {{{L"REMOVE", L"ALL"}, {L"UPGRADINGPRODUCTCODE", L"{A}"}}, {0, file}, false, true, nullptr, L"upgrade to {A}"},
  };
  for (const Case& c : cases) {
    FakeHost host;
    host.properties.insert(c.properties.begin(), c.properties.end());
    host.choice = c.choice;
    host.localSystem = c.localSystem;
    EXPECT_EQ(SaverPlan(host), c.succeeds) << c.logged;
    for (const wchar_t* action : {L"SaverSet", L"SaverKeep", L"SaverClear"}) {
      const bool expected = c.scheduled && std::wstring_view(c.scheduled) == action;
      EXPECT_EQ(host.Property(action), expected ? file : L"") << action;
    }
    EXPECT_NE(host.log.find(c.logged), std::wstring::npos) << host.log;
    EXPECT_EQ(host.refused, c.succeeds ? L"" : L"yes");
  }
}

TEST(SaverActions, DeferredActionsSetKeepOrClearTheChoiceAndOnlySetFails) {
  const std::wstring file = FakeHost::kFile, other = L"C:\\x.scr";
  struct Case {
    bool (*action)(SaverHost&);
    SaverChoice choice;
    long writeError, clearError, onError;
    bool succeeds;
    std::optional<std::wstring> after;
    const wchar_t* logged;
  };
  const Case cases[] = {
      {SaverSet, {}, 0, 0, 0, true, file, L"set to \""},
      {SaverSet, {}, 5, 0, 0, false, {}, L"could not be set to"},
      {SaverSet, {}, 0, 0, 1400, false, file, L"could not be turned on (error 1400)"},
      {SaverKeep, {}, 0, 0, 0, true, file, L"is gone: SCRNSAVE.EXE set to"},
      {SaverKeep, {0, file}, 5, 0, 0, true, file, L"names the new file: left as it is"},
      {SaverKeep, {}, 5, 0, 0, true, {}, L"could not be put back (error 5)"},
      {SaverClear, {0, file}, 0, 0, 0, true, {}, L"named the removed file: cleared"},
      {SaverClear, {0, other}, 0, 0, 0, true, other, L"names another screen saver"},
      {SaverClear, {0, file}, 0, 5, 0, true, file, L"could not be cleared (error 5)"},
      {SaverClear, {2, {}}, 0, 0, 0, true, {}, L"could not be read (error 2)"},
      {SaverClear, {}, 0, 0, 0, true, {}, L"nothing to clear"},
  };
  for (const Case& c : cases) {
    FakeHost host;
    host.choice = c.choice;
    std::tie(host.writeError, host.clearError, host.onError) = std::tie(c.writeError, c.clearError, c.onError);
    EXPECT_EQ(c.action(host), c.succeeds) << c.logged;
    EXPECT_EQ(host.choice.value, c.after) << c.logged;
    EXPECT_NE(host.log.find(c.logged), std::wstring::npos) << host.log;
  }
}

}  // namespace
}  // namespace salvanto::setup
