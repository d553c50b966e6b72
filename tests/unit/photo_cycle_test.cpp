#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "slideshow/photo_cycle.h"
#include "tests/unit/fakes.h"

namespace salvanto {
namespace {

using testing::FakeConventions;

std::wstring Upper(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  return text;
}

// A folder as the file system lists it: raw entries in their own order.
struct FakeFolder : FileFinder {
  std::vector<FoundEntry> entries;
  bool exists = true;
  bool readable = true;
  std::vector<std::wstring> patterns;
  std::size_t next = 0;
  bool open = false;
  int closes = 0;

  std::optional<FoundEntry> First(const std::wstring& pattern) override {
    Close();
    patterns.push_back(pattern);
    if (!readable) throw PhotoFailure("drive not ready");
    if (!exists || entries.empty()) return std::nullopt;
    open = true;
    next = 1;
    return entries[0];
  }
  std::optional<FoundEntry> Next() override {
    if (!open) throw std::logic_error("no search open");
    if (next < entries.size()) return entries[next++];
    return std::nullopt;
  }
  void Close() override {
    if (open) ++closes;
    open = false;
  }
  void Add(std::wstring name, std::uint32_t attributes = 0) { entries.push_back({std::move(name), attributes}); }
};

// Image1: takes ordinary files of the folder, names compared as the file
// system does (without case), refuses the rest.
struct FakeImage : PictureLoader {
  FakeImage(const FakeFolder& f, const SharedState& s) : folder(f), state(s) {}
  void Show(const std::wstring& path) override {
    const auto found = std::find_if(folder.entries.begin(), folder.entries.end(),
                                    [&](const FoundEntry& e) { return Upper(state.PhotoDir + e.name) == Upper(path); });
    if (!folder.readable || !folder.exists || found == folder.entries.end() || (found->attributes & kAttrDirectory) ||
        notPictures.count(Upper(found->name))) {
      throw PhotoFailure("not a picture");
    }
    picture = path;
  }
  const FakeFolder& folder;
  const SharedState& state;
  std::set<std::wstring> notPictures;
  std::wstring picture = L"(sample)";
};

struct FakeStrip : CaptionStrip {
  void SetCaption(const std::wstring& text) override { caption = text; }
  std::wstring caption = L"Morvane Software";
};

struct FakeBoxes : MessageBoxes {
  void ShowMessage(std::wstring_view text, std::wstring_view title) override {
    ++shown;
    lastText = text;
    lastTitle = title;
    if (whileOpen) whileOpen();
  }
  int shown = 0;
  std::wstring lastText, lastTitle;
  std::function<void()> whileOpen;
};

struct Show {
  explicit Show(std::wstring dir = L"D:\\PHOTOS\\") { state.PhotoDir = std::move(dir); }

  // One tick; what Image1 shows afterwards (its file name), or "box" when
  // the tick ended in the failure box.
  std::wstring Tick() {
    const int boxesBefore = boxes.shown;
    cycle.Tick();
    if (boxes.shown != boxesBefore) return L"box";
    return image.picture.substr(state.PhotoDir.size());
  }
  std::vector<std::wstring> Ticks(int n) {
    std::vector<std::wstring> seen;
    for (int i = 0; i < n; ++i) seen.push_back(Tick());
    return seen;
  }

  SharedState state;
  FakeFolder folder;
  FilteredListing listing{folder};
  FakeImage image{folder, state};
  FakeStrip strip;
  FakeConventions text;
  FakeBoxes boxes;
  PhotoCycle cycle{state, listing, image, strip, text, boxes};
};

using Names = std::vector<std::wstring>;

TEST(PhotoCycle, FirstFileOfEachPassOnThreeTicks) {
  Show show;
  for (auto name : {L"A.JPG", L"B.JPG", L"C.JPG"}) show.folder.Add(name);
  std::vector<int> passCounts;
  Names seen;
  for (int i = 0; i < 10; ++i) {
    seen.push_back(show.Tick());
    passCounts.push_back(show.cycle.PassCount());
  }
  EXPECT_EQ(seen, (Names{L"A.JPG", L"A.JPG", L"A.JPG", L"B.JPG", L"C.JPG", L"A.JPG", L"A.JPG", L"A.JPG", L"B.JPG",
                         L"C.JPG"}));
  EXPECT_EQ(passCounts, (std::vector<int>{1, 2, 3, 3, 3, 1, 2, 3, 3, 3}));
  EXPECT_EQ(show.boxes.shown, 0);
  EXPECT_EQ(show.folder.patterns.front(), L"D:\\PHOTOS\\*.*");
}

TEST(PhotoCycle, ASingleFileOnEveryTick) {
  Show show;
  show.folder.Add(L"ONLY.BMP");
  EXPECT_EQ(show.Ticks(9), Names(9, L"ONLY.BMP"));
  EXPECT_EQ(show.boxes.shown, 0);
  // Starts on ticks 1-3, then on every third tick the listing runs out and
  // starts again within that tick: ticks 4 and 7.
  EXPECT_EQ(show.folder.patterns.size(), 9u);
  EXPECT_EQ(show.cycle.PassCount(), 3);
}

TEST(PhotoCycle, EmptyOrMissingFolderClimbsToThreeThenFailsOnContinue) {
  for (bool exists : {true, false}) {
    Show show;
    show.folder.exists = exists;
    std::vector<int> passCounts;
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(show.Tick(), L"box");
      passCounts.push_back(show.cycle.PassCount());
    }
    EXPECT_EQ(passCounts, (std::vector<int>{1, 2, 3, 3, 3, 3}));
    // Photos that arrive later are not picked up.
    show.folder.exists = true;
    show.folder.Add(L"LATE.JPG");
    EXPECT_EQ(show.Ticks(3), Names(3, L"box"));
    EXPECT_EQ(show.image.picture, L"(sample)");
    EXPECT_EQ(show.strip.caption, L"Morvane Software");
    EXPECT_EQ(
        show.boxes.lastText,
        L"Unable to find Salvanto photographs!\r\n\r\nMake sure that the Salvanto Anthology is in the CDROM drive.");
    EXPECT_EQ(show.boxes.lastTitle, L"The Salvanto Anthology Screen Saver");
  }
}

TEST(PhotoCycle, UnreadableDriveKeepsPassCountAtZeroUntilReadable) {
  Show show;
  show.folder.Add(L"A.JPG");
  show.folder.Add(L"B.JPG");
  show.folder.readable = false;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(show.Tick(), L"box");
    EXPECT_EQ(show.cycle.PassCount(), 0);
  }
  show.folder.readable = true;
  EXPECT_EQ(show.Ticks(5), (Names{L"A.JPG", L"A.JPG", L"A.JPG", L"B.JPG", L"A.JPG"}));
}

TEST(PhotoCycle, ABadFileCostsItsTicksAndKeepsThePreviousPhotoAndCaption) {
  Show show;
  for (auto name : {L"SALVAS_ZY1.JPG", L"NOTES.TXT", L"SALVAS_571.JPG"}) show.folder.Add(name);
  show.image.notPictures = {L"NOTES.TXT"};
  EXPECT_EQ(show.Ticks(4), (Names{L"SALVAS_ZY1.JPG", L"SALVAS_ZY1.JPG", L"SALVAS_ZY1.JPG", L"box"}));
  EXPECT_EQ(show.image.picture, L"D:\\PHOTOS\\SALVAS_ZY1.JPG");
  EXPECT_EQ(show.strip.caption, L"Salvanto Coin ");
  EXPECT_EQ(show.Tick(), L"SALVAS_571.JPG");
  EXPECT_EQ(show.strip.caption, L"  1957 Salvanto   ");

  // A bad first file: the three ticks of the first file fail, each adds 1.
  Show bad;
  bad.folder.Add(L"NOTES.TXT");
  bad.folder.Add(L"A.JPG");
  bad.image.notPictures = {L"NOTES.TXT"};
  std::vector<int> passCounts;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(bad.Tick(), L"box");
    passCounts.push_back(bad.cycle.PassCount());
  }
  EXPECT_EQ(passCounts, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(bad.Tick(), L"A.JPG");
}

TEST(PhotoCycle, OnlyOrdinaryFilesAreListed) {
  Show show;
  show.folder.Add(L".", kAttrDirectory);
  show.folder.Add(L"..", kAttrDirectory);
  show.folder.Add(L"HIDDEN.JPG", kAttrHidden);
  show.folder.Add(L"A.JPG", kAttrArchive);
  show.folder.Add(L"SUB", kAttrDirectory);
  show.folder.Add(L"THUMBS.DB", kAttrHidden | kAttrSystem);
  show.folder.Add(L"SYS.JPG", kAttrSystem);
  show.folder.Add(L"B.JPG", kAttrReadOnly);
  EXPECT_EQ(show.Ticks(6), (Names{L"A.JPG", L"A.JPG", L"A.JPG", L"B.JPG", L"A.JPG", L"A.JPG"}));
  EXPECT_EQ(show.boxes.shown, 0);
}

TEST(IsListed, AttributeSetNamesWhatMayBeAdded) {
  EXPECT_TRUE(IsListed(0, kOrdinaryFiles));
  EXPECT_TRUE(IsListed(kAttrReadOnly | kAttrArchive, kOrdinaryFiles));
  EXPECT_FALSE(IsListed(kAttrHidden, kOrdinaryFiles));
  EXPECT_FALSE(IsListed(kAttrSystem, kOrdinaryFiles));
  EXPECT_FALSE(IsListed(kAttrDirectory, kOrdinaryFiles));
  EXPECT_TRUE(IsListed(kAttrHidden, kAttrHidden));
  EXPECT_FALSE(IsListed(kAttrHidden | kAttrSystem, kAttrHidden));
  EXPECT_TRUE(IsListed(kAttrDirectory | kAttrHidden, kAttrDirectory | kAttrHidden));
  EXPECT_FALSE(IsListed(kAttrVolume, kAttrVolume));
}

TEST(FilteredListing, ExhaustedOrUnstartedListingFailsOnContinueAndIsClosed) {
  FakeFolder folder;
  folder.Add(L"A");
  folder.Add(L"H", kAttrHidden);
  FilteredListing listing(folder);
  EXPECT_THROW(listing.Continue(), PhotoFailure);
  EXPECT_EQ(listing.Start(L"*.*", kOrdinaryFiles), L"A");
  EXPECT_TRUE(folder.open);
  EXPECT_EQ(listing.Continue(), L"");  // the hidden one is skipped, then the end
  EXPECT_FALSE(folder.open) << "the search stays open after its end";
  EXPECT_THROW(listing.Continue(), PhotoFailure);
  // Restarting an open listing ends the old search first.
  EXPECT_EQ(listing.Start(L"*.*", kOrdinaryFiles), L"A");
  EXPECT_EQ(listing.Start(L"*.*", kOrdinaryFiles), L"A");
  EXPECT_EQ(folder.closes, 2);
  // A start that fails leaves nothing to continue.
  folder.readable = false;
  EXPECT_THROW(listing.Start(L"*.*", kOrdinaryFiles), PhotoFailure);
  EXPECT_THROW(listing.Continue(), PhotoFailure);
}

TEST(PhotoCycle, MarkerIsSearchedBeforeUpperCasing) {
  // As the first of a listing the name is upper-cased first: the marker is found.
  Show first;
  first.folder.Add(L"salvas_zy1.jpg");
  first.Tick();
  EXPECT_EQ(first.image.picture, L"D:\\PHOTOS\\SALVAS_ZY1.JPG");
  EXPECT_EQ(first.strip.caption, L"Salvanto Coin ");

  // Continued, the name keeps its case: no marker, so characters 7 and 8 of
  // the upper-cased path ("TO") are the code.
  Show continued;
  continued.folder.Add(L"A.JPG");
  continued.folder.Add(L"salvas_zy1.jpg");
  EXPECT_EQ(continued.Ticks(4).back(), L"salvas_zy1.jpg");
  EXPECT_EQ(continued.image.picture, L"D:\\PHOTOS\\salvas_zy1.jpg");
  EXPECT_EQ(continued.strip.caption, L"  200O Salvanto   ");

  // A code in lower case still matches once the path is upper-cased.
  Show lowerCode;
  lowerCode.folder.Add(L"A.JPG");
  lowerCode.folder.Add(L"SALVAS_zy1.jpg");
  lowerCode.Ticks(4);
  EXPECT_EQ(lowerCode.strip.caption, L"Salvanto Coin ");
}

TEST(PhotoCycle, PhotoDirIsAPlainPrefix) {
  Show empty(L"");
  empty.folder.Add(L"A.JPG");
  EXPECT_EQ(empty.Tick(), L"A.JPG");
  EXPECT_EQ(empty.folder.patterns.back(), L"*.*");

  Show blank(L" ");
  blank.folder.exists = false;
  EXPECT_EQ(blank.Tick(), L"box");
  EXPECT_EQ(blank.folder.patterns.back(), L" *.*");
}

TEST(PhotoCycle, ATickArrivingWhileTheFailureBoxIsOpenIsSkipped) {
  Show show;
  show.folder.exists = false;
  int nested = 0;
  show.boxes.whileOpen = [&] {
    // The box keeps dispatching timer messages while it is open.
    for (int i = 0; i < 5; ++i) {
      ++nested;
      show.cycle.Tick();
    }
  };
  show.cycle.Tick();
  EXPECT_EQ(nested, 5);
  EXPECT_EQ(show.boxes.shown, 1);
  EXPECT_EQ(show.cycle.PassCount(), 1);

  // After the box is dismissed the show goes on.
  show.boxes.whileOpen = nullptr;
  show.folder.exists = true;
  show.folder.Add(L"A.JPG");
  EXPECT_EQ(show.Tick(), L"A.JPG");
  EXPECT_EQ(show.cycle.PassCount(), 2);
}

TEST(PhotoCycle, AnyExceptionOfTheLoaderEndsInTheBox) {
  struct Throwing : PictureLoader {
    void Show(const std::wstring&) override { throw std::bad_alloc(); }
  } throwing;
  SharedState state;
  state.PhotoDir = L"D:\\";
  FakeFolder folder;
  folder.Add(L"HUGE.JPG");
  FilteredListing listing(folder);
  FakeStrip strip;
  FakeConventions text;
  FakeBoxes boxes;
  PhotoCycle cycle(state, listing, throwing, strip, text, boxes);
  cycle.Tick();
  EXPECT_EQ(boxes.shown, 1);
  EXPECT_EQ(strip.caption, L"Morvane Software");
}

}  // namespace
}  // namespace salvanto
