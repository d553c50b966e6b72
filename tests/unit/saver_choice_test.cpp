#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <utility>

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

// The installer and Windows as the actions see them: the call named in
// fails fails with error 5; a value names the file when it is the file
// (Windows makes both canonical first); a refused SETASSAVER is kept as
// the property "refused".
struct FakeHost final : SaverHost {
  std::map<std::wstring, std::wstring, std::less<>> properties;
  SaverChoice choice;
  bool localSystem = false;
  std::wstring_view fails;  // "write", "clear" or "on"
  std::wstring log;         // the last line

  std::wstring Property(std::wstring_view name) const override {
    const auto found = properties.find(name);
    return found == properties.end() ? L"" : found->second;
  }
  bool SetProperty(std::wstring_view name, const std::wstring& value) override {
    properties[std::wstring(name)] = value;
    return true;
  }
  void Log(const std::wstring& line) override { log = line; }
  void ShowRefusal(const std::wstring& setAsSaver) override { properties[L"refused"] = setAsSaver; }
  bool RunsAsLocalSystem() const override { return localSystem; }
  SaverChoice ReadChoice() const override { return choice; }
  long WriteChoice(const std::wstring& file) override { return Change(L"write", file); }
  long ClearChoice() override { return Change(L"clear", std::nullopt); }
  long TurnSaverOn() override { return fails == L"on" ? 5 : 0; }
  bool NamesFile(std::wstring_view value, std::wstring_view file) const override { return value == file; }
  long Change(std::wstring_view call, std::optional<std::wstring> value) {
    if (fails == call) return 5;
    choice.value = std::move(value);
    return 0;
  }
};

TEST(SaverActions, EachActionDecidesFromTheRequestAndTheChoiceAndSaysWhatItDidOrDeclined) {
  const std::wstring file = L"C:\\Windows\\System32\\Salvanto2002.scr", other = L"C:\\x.scr";
  using Properties = std::map<std::wstring, std::wstring, std::less<>>;
  struct Case {
    bool (*action)(SaverHost&);
    Properties properties;  // besides the file, as SaverFile and CustomActionData
    SaverChoice choice;
    bool localSystem;
    std::wstring_view fails;
    bool succeeds;
    std::optional<std::wstring> after;  // the choice
    std::wstring_view logged;           // in the last line; the plan's "Saver...": the action it left its data
  };
  const Case cases[] = {
      {SaverPlan, {{L"SETASSAVER", L"yes"}}, {0, other}, false, L"", false, other, L"SETASSAVER=\"yes\" refused"},
      {SaverPlan, {{L"SETASSAVER", L"1"}}, {0, other}, false, L"", true, other, L"SaverSet"},
      {SaverPlan, {{L"SETASSAVER", L"1"}}, {}, true, L"", true, {}, L"declined: the install runs as LocalSystem"},
      {SaverPlan, {}, {0, file}, false, L"", true, file, L"SaverKeep"},
      {SaverPlan, {}, {0, other}, false, L"", true, other, L"(\"C:\\x.scr\") is left as it is"},
      {SaverPlan, {}, {5, {}}, false, L"", true, {}, L"(unread)"},
      {SaverPlan, {{L"REMOVE", L"All"}}, {0, file}, false, L"", true, file, L"SaverClear"},
      {SaverPlan,
       {{L"REMOVE", L"ALL"}, {L"UPGRADINGPRODUCTCODE", L"{A}"}},
       {0, file},
       false,
       L"",
       true,
       file,
       L"upgrade to {A}"},
      {SaverSet, {}, {}, false, L"", true, file, L"and the screen saver turned on"},
      {SaverSet, {}, {}, false, L"write", false, {}, L"could not be set to"},
      {SaverSet, {}, {}, false, L"on", false, file, L"could not be turned on (error 5)"},
      {SaverKeep, {}, {}, false, L"", true, file, L"is gone: SCRNSAVE.EXE set to"},
      {SaverKeep, {}, {0, file}, false, L"write", true, file, L"names the new file: left as it is"},
      {SaverKeep, {}, {}, false, L"write", true, {}, L"could not be put back (error 5)"},
      {SaverClear, {}, {0, file}, false, L"", true, {}, L"named the removed file: cleared"},
      {SaverClear, {}, {0, other}, false, L"", true, other, L"names another screen saver"},
      {SaverClear, {}, {0, file}, false, L"clear", true, file, L"could not be cleared (error 5)"},
      {SaverClear, {}, {2, {}}, false, L"", true, {}, L"could not be read (error 2)"},
      {SaverClear, {}, {}, false, L"", true, {}, L"nothing to clear"},
  };
  for (const Case& c : cases) {
    const std::wstring logged(c.logged);
    FakeHost host;
    host.properties = c.properties;
    host.properties.insert({{L"SaverFile", file}, {L"CustomActionData", file}});
    std::tie(host.choice, host.localSystem, host.fails) = std::tie(c.choice, c.localSystem, c.fails);
    EXPECT_EQ(c.action(host), c.succeeds) << logged;
    EXPECT_EQ(host.choice.value, c.after) << logged;
    for (const wchar_t* action : {L"SaverSet", L"SaverKeep", L"SaverClear"}) {
      EXPECT_EQ(host.Property(action), logged == action ? file : L"") << logged;
    }
    if (!logged.starts_with(L"Saver")) {
      EXPECT_NE(host.log.find(logged), std::wstring::npos) << host.log;
    }
    EXPECT_EQ(host.Property(L"refused"), logged.starts_with(L"SETASSAVER=\"yes\"") ? L"yes" : L"");
  }
  // A refusal from Windows without an error code still fails the action.
  EXPECT_EQ(std::pair(FailureCode(0), FailureCode(1400)), std::pair(31L, 1400L));
}

}  // namespace
}  // namespace salvanto::setup
