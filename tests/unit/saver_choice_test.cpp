#include <gtest/gtest.h>

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

}  // namespace
}  // namespace salvanto::setup
