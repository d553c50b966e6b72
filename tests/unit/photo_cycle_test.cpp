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

// ---------------------------------------------------------------------------
// The tick in two halves: the file work held back as a worker thread would
// hold it, and its result handed to the user-interface half later.

// A loaded photo that remembers its path.
struct FakePhoto : LoadedPicture {
  explicit FakePhoto(std::wstring p) : path(std::move(p)) {}
  std::wstring path;
};

// Decodes off the user-interface thread: judges a file as FakeImage does,
// but shows nothing.
struct FakeLoader : PhotoLoader {
  FakeLoader(const FakeFolder& f, const SharedState& s) : judge(f, s) {}
  std::unique_ptr<LoadedPicture> Load(const std::wstring& path) override {
    judge.Show(path);
    return std::make_unique<FakePhoto>(path);
  }
  FakeImage judge;
};

struct FakeFrame : PhotoFrame {
  void Show(std::unique_ptr<LoadedPicture> loaded) override { picture = dynamic_cast<FakePhoto&>(*loaded).path; }
  std::wstring picture = L"(sample)";
};

struct SplitShow {
  explicit SplitShow(std::wstring dir = L"D:\\PHOTOS\\") { state.PhotoDir = std::move(dir); }

  // A tick: its work done at once and its result held back, or nothing
  // when the tick is skipped.
  std::optional<TickResult> Tick() {
    std::optional<TickWork> work = ticks.Begin();
    if (!work) return std::nullopt;
    return ListAndLoad(*work, listing, loader, text);
  }
  // A result handed back: what Image1 shows afterwards, or "box".
  std::wstring Complete(TickResult result) {
    const int boxesBefore = boxes.shown;
    ticks.Complete(std::move(result));
    if (boxes.shown != boxesBefore) return L"box";
    return frame.picture.substr(state.PhotoDir.size());
  }

  SharedState state;
  FakeFolder folder;
  FilteredListing listing{folder};
  FakeLoader loader{folder, state};
  FakeFrame frame;
  FakeStrip strip;
  FakeConventions text;
  FakeBoxes boxes;
  PhotoTicks ticks{state, frame, strip, text, boxes};
};

// What a person sees after a tick: the tick's photo or "box", the picture
// up in Image1, the caption; and the count behind them.
struct Seen {
  std::wstring outcome, picture, caption;
  int passCount;
  bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& seen, std::ostream* out) {
  *out << "{" << ::testing::PrintToString(seen.outcome) << ", " << ::testing::PrintToString(seen.picture) << ", "
       << ::testing::PrintToString(seen.caption) << ", " << seen.passCount << "}";
}

// A collection and what happens to it while the show runs: before(tick)
// runs ahead of each tick's file work (tick counts from 0).
struct Course {
  const char* name;
  std::function<void(FakeFolder&, FakeImage&)> setUp;
  std::function<void(int, FakeFolder&)> before = [](int, FakeFolder&) {};
};

std::vector<Course> Courses() {
  const auto files = [](std::vector<const wchar_t*> names) {
    return [names](FakeFolder& f, FakeImage&) {
      for (const wchar_t* name : names) f.Add(name);
    };
  };
  return {
      {"three photos", files({L"SALVAS_JA1.JPG", L"SALVAS_ZY2.JPG", L"SALVAS_57X.JPG"})},
      {"one photo", files({L"ONLY.BMP"})},
      {"empty folder", files({})},
      {"missing folder", [](FakeFolder& f, FakeImage&) { f.exists = false; }},
      {"bad file among photos",
       [](FakeFolder& f, FakeImage& image) {
         for (auto name : {L"SALVAS_ZY1.JPG", L"NOTES.TXT", L"SALVAS_571.JPG"}) f.Add(name);
         image.notPictures = {L"NOTES.TXT"};
       }},
      {"bad first file",
       [](FakeFolder& f, FakeImage& image) {
         f.Add(L"NOTES.TXT");
         f.Add(L"A.JPG");
         image.notPictures = {L"NOTES.TXT"};
       }},
      {"names in lower case", files({L"salvas_zy1.jpg", L"A.JPG", L"salvas_zy1b.jpg", L"SALVAS_zy1.jpg"})},
      {"entries that are never listed",
       [](FakeFolder& f, FakeImage&) {
         f.Add(L".", kAttrDirectory);
         f.Add(L"HIDDEN.JPG", kAttrHidden);
         f.Add(L"A.JPG", kAttrArchive);
         f.Add(L"SUB", kAttrDirectory);
         f.Add(L"B.JPG", kAttrReadOnly);
       }},
      {"drive unreadable, then readable, then gone again",
       [](FakeFolder& f, FakeImage&) {
         f.Add(L"A.JPG");
         f.Add(L"B.JPG");
         f.readable = false;
       },
       [](int tick, FakeFolder& f) { f.readable = (tick >= 3 && tick < 9) || tick >= 11; }},
      {"photos added and removed mid-pass", files({L"A.JPG", L"B.JPG", L"C.JPG"}),
       [](int tick, FakeFolder& f) {
         if (tick == 4) f.entries.erase(f.entries.begin() + 2);
         if (tick == 6) f.Add(L"D.JPG");
       }},
  };
}

TEST(PhotoTicks, ResultsThatComeBackLateShowWhatTicksInPlaceShow) {
  constexpr int kTicks = 14;
  for (const Course& course : Courses()) {
    SCOPED_TRACE(course.name);
    Show inPlace;
    course.setUp(inPlace.folder, inPlace.image);
    std::vector<Seen> expected;
    for (int tick = 0; tick < kTicks; ++tick) {
      course.before(tick, inPlace.folder);
      const std::wstring outcome = inPlace.Tick();
      expected.push_back({outcome, inPlace.image.picture, inPlace.strip.caption, inPlace.cycle.PassCount()});
    }

    SplitShow split;
    course.setUp(split.folder, split.loader.judge);
    std::vector<Seen> seen;
    for (int tick = 0; tick < kTicks; ++tick) {
      course.before(tick, split.folder);
      std::optional<TickResult> result = split.Tick();
      ASSERT_TRUE(result) << "tick " << tick << " was skipped with nothing out";
      // The ticks that come while the work is out are skipped.
      const std::size_t searches = split.folder.patterns.size();
      for (int late = 0; late < 3; ++late) EXPECT_FALSE(split.Tick()) << "a second piece of work went out";
      EXPECT_EQ(split.folder.patterns.size(), searches);
      EXPECT_EQ(split.frame.picture, tick == 0 ? L"(sample)" : expected[tick - 1].picture)
          << "Image1 changed before the result came back";
      const std::wstring outcome = split.Complete(std::move(*result));
      seen.push_back({outcome, split.frame.picture, split.strip.caption, split.ticks.PassCount()});
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(split.boxes.shown, inPlace.boxes.shown);
    EXPECT_EQ(split.folder.patterns, inPlace.folder.patterns);
  }
}

TEST(PhotoTicks, NoTickGoesOutWhileTheFailureBoxIsOpen) {
  SplitShow show;
  show.folder.exists = false;
  int skipped = 0;
  show.boxes.whileOpen = [&] {
    for (int i = 0; i < 5; ++i) skipped += show.Tick() ? 0 : 1;
    EXPECT_TRUE(show.ticks.Busy());
  };
  std::optional<TickResult> result = show.Tick();
  ASSERT_TRUE(result);
  EXPECT_TRUE(show.ticks.Busy());
  EXPECT_EQ(show.Complete(std::move(*result)), L"box");
  EXPECT_EQ(skipped, 5);
  EXPECT_EQ(show.boxes.shown, 1);
  EXPECT_EQ(show.folder.patterns.size(), 1u);
  EXPECT_FALSE(show.ticks.Busy());

  // Closed: the next tick goes out again.
  show.boxes.whileOpen = nullptr;
  show.folder.exists = true;
  show.folder.Add(L"A.JPG");
  result = show.Tick();
  ASSERT_TRUE(result);
  EXPECT_EQ(show.Complete(std::move(*result)), L"A.JPG");
  EXPECT_EQ(show.ticks.PassCount(), 2);
}

TEST(PhotoTicks, AResultOfAnyOtherTickIsDropped) {
  SplitShow show;
  for (auto name : {L"SALVAS_JA1.JPG", L"SALVAS_ZY2.JPG"}) show.folder.Add(name);
  const auto stale = [&](std::uint64_t ticket, bool failed) {
    return TickResult{.ticket = ticket,
                      .passEnded = true,
                      .started = true,
                      .failed = failed,
                      .path = L"D:\\PHOTOS\\SALVAS_57OLD.JPG",
                      .picture = failed ? nullptr : std::make_unique<FakePhoto>(L"D:\\PHOTOS\\SALVAS_57OLD.JPG")};
  };
  const auto unchanged = [&](const wchar_t* photo, const wchar_t* caption, int passCount) {
    EXPECT_EQ(show.frame.picture, photo);
    EXPECT_EQ(show.strip.caption, caption);
    EXPECT_EQ(show.ticks.PassCount(), passCount);
    EXPECT_EQ(show.boxes.shown, 0);
  };

  // Nothing out: nothing to complete.
  show.ticks.Complete(stale(0, false));
  show.ticks.Complete(stale(1, true));
  unchanged(L"(sample)", L"Morvane Software", 0);
  EXPECT_FALSE(show.ticks.Busy());

  std::optional<TickResult> first = show.Tick();
  ASSERT_TRUE(first);
  const std::uint64_t firstTicket = first->ticket;
  EXPECT_EQ(show.Complete(std::move(*first)), L"SALVAS_JA1.JPG");
  // The same tick's result once more, good or failed, changes nothing.
  show.ticks.Complete(stale(firstTicket, false));
  show.ticks.Complete(stale(firstTicket, true));
  unchanged(L"D:\\PHOTOS\\SALVAS_JA1.JPG", L"Painter Portfolio ", 1);

  // An earlier tick's result that turns up while a later one is out is
  // dropped, and the later one still lands.
  std::optional<TickResult> second = show.Tick();
  ASSERT_TRUE(second);
  EXPECT_GT(second->ticket, firstTicket);
  show.ticks.Complete(stale(firstTicket, false));
  show.ticks.Complete(stale(firstTicket, true));
  show.ticks.Complete(stale(second->ticket + 1, false));
  unchanged(L"D:\\PHOTOS\\SALVAS_JA1.JPG", L"Painter Portfolio ", 1);
  EXPECT_TRUE(show.ticks.Busy());
  EXPECT_EQ(show.Complete(std::move(*second)), L"SALVAS_JA1.JPG");
  EXPECT_EQ(show.ticks.PassCount(), 2);
  EXPECT_FALSE(show.ticks.Busy());
}

TEST(ListAndLoad, EveryFailureComesBackAsAFailedResultWithThePassCounted) {
  struct Refusing : PhotoLoader {
    std::unique_ptr<LoadedPicture> Load(const std::wstring& path) override {
      paths.push_back(path);
      throw std::bad_alloc();
    }
    std::vector<std::wstring> paths;
  } refusing;
  FakeFolder folder;
  folder.Add(L"a.jpg");
  FilteredListing listing(folder);
  FakeConventions text;

  // A new listing: its first name upper-cased, counted even though the load fails.
  TickResult started = ListAndLoad({.ticket = 7, .photoDir = L"D:\\", .startListing = true}, listing, refusing, text);
  EXPECT_EQ(started.ticket, 7u);
  EXPECT_TRUE(started.failed && started.started && !started.passEnded);
  EXPECT_EQ(refusing.paths, (Names{L"D:\\A.JPG"}));

  // The listing runs out: the pass ends and a new one starts in the same tick.
  TickResult again = ListAndLoad({.ticket = 8, .photoDir = L"D:\\"}, listing, refusing, text);
  EXPECT_TRUE(again.failed && again.started && again.passEnded);

  // A listing that cannot start counts nothing, and nothing is loaded.
  folder.readable = false;
  TickResult unreadable = ListAndLoad({.ticket = 9, .photoDir = L"D:\\"}, listing, refusing, text);
  EXPECT_TRUE(unreadable.failed && !unreadable.started);
  EXPECT_FALSE(unreadable.picture);
  EXPECT_EQ(refusing.paths.size(), 2u);
}
}  // namespace
}  // namespace salvanto
