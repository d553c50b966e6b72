#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "slideshow/photo_cycle.h"
#include "tests/unit/fakes.h"

namespace salvanto {
namespace {

using testing::FakeBoxes;
using testing::FakeConventions;

// Attribute bits of ordinary files that no listing rule needs to name.
constexpr std::uint32_t kReadOnly = 0x01, kArchive = 0x20;

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
    if (!readable) throw ListingFailure("drive not ready");
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
  void Remove(const std::wstring& name) {
    std::erase_if(entries, [&](const FoundEntry& e) { return e.name == name; });
  }
};

// A photo as loaded: its file, which version of it, at what size.
struct FakePhoto : LoadedPicture {
  FakePhoto(std::wstring p, int v, FrameSize f) : path(std::move(p)), version(v), frame(f) {}
  std::wstring path;
  int version;
  FrameSize frame;
};

// The files of the folder: names compared as the file system does (without
// case); ordinary files are pictures unless named otherwise.
struct FakeFiles : PhotoFiles {
  FakeFiles(const FakeFolder& f, const std::wstring& d) : folder(f), photoDir(d) {}
  const FoundEntry* Find(const std::wstring& path) const {
    if (!folder.readable || !folder.exists) return nullptr;
    const auto found = std::find_if(folder.entries.begin(), folder.entries.end(), [&](const FoundEntry& e) {
      return Upper(photoDir + e.name) == Upper(path) && !(e.attributes & kAttrDirectory);
    });
    return found == folder.entries.end() ? nullptr : &*found;
  }
  std::optional<FileStamp> Stamp(const std::wstring& path) override {
    const FoundEntry* entry = Find(path);
    if (!entry) return std::nullopt;
    return FileStamp{.size = 1000, .lastWrite = static_cast<std::uint64_t>(versions[Upper(entry->name)])};
  }
  std::unique_ptr<LoadedPicture> Load(const std::wstring& path, FrameSize frame) override {
    loads.push_back(path);
    if (refuseEverything) throw std::bad_alloc();
    const FoundEntry* entry = Find(path);
    if (!entry || notPictures.count(Upper(entry->name))) throw PhotoFailure("not a picture");
    return std::make_unique<FakePhoto>(path, versions[Upper(entry->name)], frame);
  }
  const FakeFolder& folder;
  const std::wstring& photoDir;
  std::set<std::wstring> notPictures;
  std::map<std::wstring, int> versions;  // by upper-case name; 0 unless rewritten
  std::vector<std::wstring> loads;
  bool refuseEverything = false;
};

struct FakeFrame : PhotoFrame {
  void Show(std::unique_ptr<LoadedPicture> loaded) override {
    const auto& photo = dynamic_cast<FakePhoto&>(*loaded);
    picture = photo.path;
    version = photo.version;
    shownAt = photo.frame;
  }
  FrameSize Size() const override { return size; }
  std::wstring picture = L"(sample)";
  int version = 0;
  FrameSize size{777, 473};
  FrameSize shownAt;
};

struct FakeStrip : CaptionStrip {
  void SetCaption(const std::wstring& text) override { caption = text; }
  std::wstring caption = L"Morvane Software";
};

// The worker thread, run when the test says: its jobs wait in a queue, and
// a tick's result waits until it is handed back.
struct FakeWorker : TickWorker {
  explicit FakeWorker(TickFiles& f) : files(f) {}
  void Prepare(TickWork work) override { jobs.push_back({false, std::move(work)}); }
  void Run(TickWork work) override { jobs.push_back({true, std::move(work)}); }
  // Runs the jobs queued so far; returns the results of the ticks among them.
  std::vector<TickResult> RunJobs() {
    std::vector<TickResult> results;
    while (!jobs.empty()) {
      Job job = std::move(jobs.front());
      jobs.pop_front();
      if (job.tick) {
        results.push_back(files.Tick(job.work));
      } else {
        files.Prepare(job.work);
      }
    }
    return results;
  }
  struct Job {
    bool tick;
    TickWork work;
  };
  TickFiles& files;
  std::deque<Job> jobs;
};

struct Show {
  explicit Show(std::wstring dir = L"D:\\PHOTOS\\") : photoDir(std::move(dir)) {}

  // The show's start, when the folder is set up: the first photo prepared.
  void StartOnce() {
    if (started) return;
    started = true;
    ticks.Start();
    worker.RunJobs();
  }
  // One tick with the worker keeping up: its result handed back, and the
  // next tick's photo prepared. What Image1 shows afterwards (its file
  // name), or "box" when the tick ended in the failure box.
  std::wstring Tick() {
    StartOnce();
    const std::size_t boxesBefore = boxes.shown.size();
    ticks.Tick();
    for (TickResult& result : worker.RunJobs()) ticks.Complete(std::move(result));
    worker.RunJobs();
    if (boxes.shown.size() != boxesBefore) return L"box";
    return frame.picture.substr(photoDir.size());
  }
  std::vector<std::wstring> Ticks(int n) {
    std::vector<std::wstring> seen;
    for (int i = 0; i < n; ++i) seen.push_back(Tick());
    return seen;
  }

  std::wstring photoDir;
  FakeFolder folder;
  DirectoryListing listing{folder};
  FakeFiles files{folder, photoDir};
  FakeConventions text;
  TickFiles tickFiles{listing, files, text};
  FakeWorker worker{tickFiles};
  FakeFrame frame;
  FakeStrip strip;
  FakeBoxes boxes;
  PhotoTicks ticks{photoDir, worker, frame, strip, text, boxes};
  bool started = false;
};

using Names = std::vector<std::wstring>;

TEST(PhotoTicks, FirstFileOfEachPassOnThreeTicksEachFileLoadedOncePerPass) {
  Show show;
  for (auto name : {L"A.JPG", L"B.JPG", L"C.JPG"}) show.folder.Add(name);
  EXPECT_EQ(show.Ticks(10), (Names{L"A.JPG", L"A.JPG", L"A.JPG", L"B.JPG", L"C.JPG", L"A.JPG", L"A.JPG", L"A.JPG",
                                   L"B.JPG", L"C.JPG"}));
  EXPECT_TRUE(show.boxes.shown.empty());
  EXPECT_EQ(show.folder.patterns.front(), L"D:\\PHOTOS\\*.*");
  // The first file is loaded once for its three ticks; the last load is the
  // eleventh tick's photo, prepared.
  EXPECT_EQ(show.files.loads,
            (Names{L"D:\\PHOTOS\\A.JPG", L"D:\\PHOTOS\\B.JPG", L"D:\\PHOTOS\\C.JPG", L"D:\\PHOTOS\\A.JPG",
                   L"D:\\PHOTOS\\B.JPG", L"D:\\PHOTOS\\C.JPG", L"D:\\PHOTOS\\A.JPG"}));
}

TEST(PhotoTicks, APreparedPhotoGoesUpAtItsTickWithNoFileWorkButTheCheck) {
  Show show;
  for (auto name : {L"SALVAS_JA1.JPG", L"SALVAS_ZY2.JPG"}) show.folder.Add(name);
  show.Ticks(3);
  // The fourth tick's photo is listed and loaded before the tick comes.
  EXPECT_EQ(show.files.loads.back(), L"D:\\PHOTOS\\SALVAS_ZY2.JPG");
  const std::size_t loads = show.files.loads.size();
  const std::size_t searches = show.folder.patterns.size();

  show.ticks.Tick();
  // Ticks that come while the work is out are skipped.
  for (int late = 0; late < 3; ++late) show.ticks.Tick();
  std::vector<TickResult> results = show.worker.RunJobs();
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(show.files.loads.size(), loads);
  EXPECT_EQ(show.folder.patterns.size(), searches);
  EXPECT_EQ(show.frame.picture, L"D:\\PHOTOS\\SALVAS_JA1.JPG") << "Image1 changed before the result came back";
  show.ticks.Complete(std::move(results[0]));
  EXPECT_EQ(show.frame.picture, L"D:\\PHOTOS\\SALVAS_ZY2.JPG");
  EXPECT_EQ(show.strip.caption, L"Salvanto Coin ");
  // Complete: the next tick goes out.
  EXPECT_EQ(show.Tick(), L"SALVAS_JA1.JPG");
}

TEST(PhotoTicks, AFileChangedOrGoneAfterItWasPreparedIsLoadedAfreshAtItsTick) {
  Show show;
  for (auto name : {L"A.JPG", L"B.JPG", L"C.JPG"}) show.folder.Add(name);
  EXPECT_EQ(show.Ticks(3), Names(3, L"A.JPG"));

  // B, prepared, is written anew before its tick: the new content shows.
  show.files.versions[L"B.JPG"] = 1;
  EXPECT_EQ(show.Tick(), L"B.JPG");
  EXPECT_EQ(show.frame.version, 1);

  // C, prepared, is deleted: the box comes at its own tick, not before,
  // and B stays up with its caption.
  show.folder.Remove(L"C.JPG");
  EXPECT_TRUE(show.boxes.shown.empty());
  EXPECT_EQ(show.Tick(), L"box");
  EXPECT_EQ(show.frame.picture, L"D:\\PHOTOS\\B.JPG");

  // The first file of the next pass is reused while unchanged, and loaded
  // again once it changes between two of its ticks.
  EXPECT_EQ(show.Tick(), L"A.JPG");
  std::size_t loads = show.files.loads.size();
  EXPECT_EQ(show.Tick(), L"A.JPG");
  EXPECT_EQ(show.files.loads.size(), loads);
  show.files.versions[L"A.JPG"] = 1;
  EXPECT_EQ(show.Tick(), L"A.JPG");
  EXPECT_EQ(show.frame.version, 1);
  EXPECT_EQ(show.files.loads.size(), loads + 2);  // A afresh, then B prepared
}

TEST(PhotoTicks, AResultWithNoTickOutOrForAFrameSizeThatIsGoneIsNeverShown) {
  Show show;
  for (auto name : {L"SALVAS_JA1.JPG", L"SALVAS_ZY2.JPG", L"SALVAS_57X.JPG"}) show.folder.Add(name);
  show.Ticks(3);
  const auto unchanged = [&] {
    EXPECT_EQ(show.frame.picture, L"D:\\PHOTOS\\SALVAS_JA1.JPG");
    EXPECT_EQ(show.strip.caption, L"Painter Portfolio ");
    EXPECT_TRUE(show.boxes.shown.empty());
  };

  // Nothing out: a result handed back changes nothing, PassCount included
  // (the next tick continues the listing).
  const std::wstring stray = L"D:\\PHOTOS\\SALVAS_57X.JPG";
  show.ticks.Complete(TickResult{.passEnded = true,
                                 .started = true,
                                 .failed = false,
                                 .path = stray,
                                 .stamp = FileStamp{},
                                 .frame = show.frame.size,
                                 .picture = std::make_unique<FakePhoto>(stray, 0, show.frame.size)});
  unchanged();

  // The frame changes size while a tick is out: its photo, scaled for the
  // old size, is dropped without a box; its listing step still counts.
  show.ticks.Tick();
  std::vector<TickResult> results = show.worker.RunJobs();
  show.frame.size = {900, 548};
  show.ticks.Complete(std::move(results[0]));
  unchanged();
  EXPECT_EQ(show.Tick(), L"SALVAS_57X.JPG");
  EXPECT_EQ(show.frame.shownAt, (FrameSize{900, 548}));

  // Idle, the frame changes size: the prepared photo is loaded again at it
  // before its tick.
  show.frame.size = {777, 473};
  show.ticks.FrameChanged();
  show.worker.RunJobs();
  const std::size_t loads = show.files.loads.size();
  EXPECT_EQ(show.Tick(), L"SALVAS_JA1.JPG");
  EXPECT_EQ(show.frame.shownAt, (FrameSize{777, 473}));
  EXPECT_EQ(show.files.loads.size(), loads + 0) << "loaded at its tick, not ahead";
}

TEST(PhotoTicks, WhileTheShowRestsNoFileWorkAtAllAndTheFirstTickAfterLoadsItsOwnPhoto) {
  Show show;
  for (auto name : {L"A.JPG", L"B.JPG", L"C.JPG"}) show.folder.Add(name);
  show.Ticks(3);
  // B's tick is out as the display goes off: B still goes up, but C is not
  // loaded ahead, nor again for a new frame, and the ticks send out nothing.
  show.ticks.Tick();
  std::vector<TickResult> results = show.worker.RunJobs();
  show.ticks.Rest(true);
  show.ticks.Complete(std::move(results[0]));
  EXPECT_EQ(show.frame.picture, L"D:\\PHOTOS\\B.JPG");
  show.ticks.Tick();
  show.frame.size = {900, 548};
  show.ticks.FrameChanged();
  EXPECT_TRUE(show.worker.jobs.empty());
  // Back on: the first tick lists and loads C itself, then A is prepared.
  const std::size_t loads = show.files.loads.size();
  show.ticks.Rest(false);
  EXPECT_EQ(show.Tick(), L"C.JPG");
  EXPECT_EQ(show.frame.shownAt, (FrameSize{900, 548}));
  EXPECT_EQ(show.files.loads.size(), loads + 2);
}

TEST(PhotoTicks, ASingleFileOnEveryTickLoadedOnce) {
  Show show;
  show.folder.Add(L"ONLY.BMP");
  EXPECT_EQ(show.Ticks(9), Names(9, L"ONLY.BMP"));
  EXPECT_TRUE(show.boxes.shown.empty());
  // Every tick starts a listing: ticks 1-3, then on every third tick the
  // listing runs out and starts again within that tick, and the ticks after
  // it count the new pass. The tenth tick's is taken ahead.
  EXPECT_EQ(show.folder.patterns.size(), 10u);
  EXPECT_EQ(show.files.loads.size(), 1u);
}

TEST(PhotoTicks, EmptyOrMissingFolderClimbsToThreeThenFailsOnContinue) {
  for (bool exists : {true, false}) {
    Show show;
    show.folder.exists = exists;
    EXPECT_EQ(show.Ticks(6), Names(6, L"box"));
    EXPECT_TRUE(show.files.loads.empty()) << "no name, nothing to load";
    // PassCount is 3: photos that arrive later are not picked up.
    show.folder.exists = true;
    show.folder.Add(L"LATE.JPG");
    EXPECT_EQ(show.Ticks(3), Names(3, L"box"));
    EXPECT_EQ(show.frame.picture, L"(sample)");
    EXPECT_EQ(show.strip.caption, L"Morvane Software");
    EXPECT_EQ(show.boxes.shown.back(),
              (std::pair<std::wstring, std::wstring>(
                  L"Unable to find Salvanto photographs!\r\n\r\nMake sure that the Salvanto Anthology is in the "
                  L"CDROM drive.",
                  L"The Salvanto Anthology Screen Saver")));
  }
}

TEST(PhotoTicks, UnreadableDriveKeepsPassCountAtZeroUntilReadable) {
  Show show;
  show.folder.Add(L"A.JPG");
  show.folder.Add(L"B.JPG");
  show.folder.readable = false;
  EXPECT_EQ(show.Ticks(4), Names(4, L"box"));
  // Readable again after the next tick's listing failed ahead of it: the
  // tick itself tries again.
  show.folder.readable = true;
  EXPECT_EQ(show.Ticks(5), (Names{L"A.JPG", L"A.JPG", L"A.JPG", L"B.JPG", L"A.JPG"}));
}

TEST(PhotoTicks, ABadFileCostsItsTicksAndKeepsThePreviousPhotoAndCaption) {
  Show show;
  for (auto name : {L"SALVAS_ZY1.JPG", L"NOTES.TXT", L"SALVAS_571.JPG"}) show.folder.Add(name);
  show.files.notPictures = {L"NOTES.TXT"};
  EXPECT_EQ(show.Ticks(4), (Names{L"SALVAS_ZY1.JPG", L"SALVAS_ZY1.JPG", L"SALVAS_ZY1.JPG", L"box"}));
  EXPECT_EQ(show.frame.picture, L"D:\\PHOTOS\\SALVAS_ZY1.JPG");
  EXPECT_EQ(show.strip.caption, L"Salvanto Coin ");
  EXPECT_EQ(show.Tick(), L"SALVAS_571.JPG");
  EXPECT_EQ(show.strip.caption, L"  1957 Salvanto   ");

  // A bad first file: the three ticks of the first file fail, each adds 1.
  Show bad;
  bad.folder.Add(L"NOTES.TXT");
  bad.folder.Add(L"A.JPG");
  bad.files.notPictures = {L"NOTES.TXT"};
  EXPECT_EQ(bad.Ticks(4), (Names{L"box", L"box", L"box", L"A.JPG"}));

  // Any exception of the loader ends in the box.
  Show refused;
  refused.folder.Add(L"HUGE.JPG");
  refused.files.refuseEverything = true;
  EXPECT_EQ(refused.Tick(), L"box");
  EXPECT_EQ(refused.strip.caption, L"Morvane Software");
}

TEST(PhotoTicks, OnlyOrdinaryFilesAreListed) {
  Show show;
  show.folder.Add(L".", kAttrDirectory);
  show.folder.Add(L"..", kAttrDirectory);
  show.folder.Add(L"HIDDEN.JPG", kAttrHidden);
  show.folder.Add(L"A.JPG", kArchive);
  show.folder.Add(L"SUB", kAttrDirectory);
  show.folder.Add(L"THUMBS.DB", kAttrHidden | kAttrSystem);
  show.folder.Add(L"SYS.JPG", kAttrSystem);
  show.folder.Add(L"B.JPG", kReadOnly);
  EXPECT_EQ(show.Ticks(6), (Names{L"A.JPG", L"A.JPG", L"A.JPG", L"B.JPG", L"A.JPG", L"A.JPG"}));
  EXPECT_TRUE(show.boxes.shown.empty());
}

TEST(IsListed, AttributeSetNamesWhatMayBeAdded) {
  EXPECT_TRUE(IsListed(0, kOrdinaryFiles));
  EXPECT_TRUE(IsListed(kReadOnly | kArchive, kOrdinaryFiles));
  EXPECT_FALSE(IsListed(kAttrHidden, kOrdinaryFiles));
  EXPECT_FALSE(IsListed(kAttrSystem, kOrdinaryFiles));
  EXPECT_FALSE(IsListed(kAttrDirectory, kOrdinaryFiles));
  EXPECT_TRUE(IsListed(kAttrHidden, kAttrHidden));
  EXPECT_FALSE(IsListed(kAttrHidden | kAttrSystem, kAttrHidden));
  EXPECT_TRUE(IsListed(kAttrDirectory | kAttrHidden, kAttrDirectory | kAttrHidden));
  EXPECT_FALSE(IsListed(kAttrVolume, kAttrVolume));
  // (system error, at the first entry, whether it ends the listing rather than fails it)
  for (auto [error, first, ends] : {std::tuple{2u, true, true},
                                    {3u, true, true},
                                    {18u, true, true},
                                    {18u, false, true},
                                    {2u, false, false},
                                    {3u, false, false},
                                    {21u, true, false},
                                    {5u, true, false}}) {
    EXPECT_EQ(EndsListing(error, first), ends) << error << " " << first;
  }
}

TEST(DirectoryListing, ExhaustedOrUnstartedListingFailsOnContinueAndIsClosed) {
  FakeFolder folder;
  folder.Add(L"A");
  folder.Add(L"H", kAttrHidden);
  DirectoryListing listing(folder);
  EXPECT_THROW(listing.Continue(), ListingFailure);
  EXPECT_EQ(listing.Start(L"*.*", kOrdinaryFiles), L"A");
  EXPECT_TRUE(folder.open);
  EXPECT_EQ(listing.Continue(), L"");  // the hidden one is skipped, then the end
  EXPECT_FALSE(folder.open) << "the search stays open after its end";
  EXPECT_THROW(listing.Continue(), ListingFailure);
  // Restarting an open listing ends the old search first.
  EXPECT_EQ(listing.Start(L"*.*", kOrdinaryFiles), L"A");
  EXPECT_EQ(listing.Start(L"*.*", kOrdinaryFiles), L"A");
  EXPECT_EQ(folder.closes, 2);
  // A start that fails leaves nothing to continue.
  folder.readable = false;
  EXPECT_THROW(listing.Start(L"*.*", kOrdinaryFiles), ListingFailure);
  EXPECT_THROW(listing.Continue(), ListingFailure);
}

TEST(PhotoTicks, MarkerIsSearchedBeforeUpperCasing) {
  // As the first of a listing the name is upper-cased first: the marker is found.
  Show first;
  first.folder.Add(L"salvas_zy1.jpg");
  first.Tick();
  EXPECT_EQ(first.frame.picture, L"D:\\PHOTOS\\SALVAS_ZY1.JPG");
  EXPECT_EQ(first.strip.caption, L"Salvanto Coin ");

  // Continued, the name keeps its case: no marker, so characters 7 and 8 of
  // the upper-cased path ("TO") are the code.
  Show continued;
  continued.folder.Add(L"A.JPG");
  continued.folder.Add(L"salvas_zy1.jpg");
  EXPECT_EQ(continued.Ticks(4).back(), L"salvas_zy1.jpg");
  EXPECT_EQ(continued.frame.picture, L"D:\\PHOTOS\\salvas_zy1.jpg");
  EXPECT_EQ(continued.strip.caption, L"  200O Salvanto   ");

  // A code in lower case still matches once the path is upper-cased.
  Show lowerCode;
  lowerCode.folder.Add(L"A.JPG");
  lowerCode.folder.Add(L"SALVAS_zy1.jpg");
  lowerCode.Ticks(4);
  EXPECT_EQ(lowerCode.strip.caption, L"Salvanto Coin ");
}

TEST(PhotoTicks, PhotoDirIsAPlainPrefix) {
  Show empty(L"");
  empty.folder.Add(L"A.JPG");
  EXPECT_EQ(empty.Tick(), L"A.JPG");
  EXPECT_EQ(empty.folder.patterns.back(), L"*.*");

  Show blank(L" ");
  blank.folder.exists = false;
  EXPECT_EQ(blank.Tick(), L"box");
  EXPECT_EQ(blank.folder.patterns.back(), L" *.*");
}

TEST(PhotoTicks, NoTickGoesOutWhileTheFailureBoxIsOpenAndTheNextPhotoIsPrepared) {
  Show show;
  show.folder.exists = false;
  std::size_t jobsWhileOpen = 0;
  show.boxes.whileOpen = [&] {
    // The box keeps dispatching timer messages while it is open.
    for (int i = 0; i < 5; ++i) show.ticks.Tick();
    jobsWhileOpen = show.worker.jobs.size();
  };
  EXPECT_EQ(show.Tick(), L"box");
  EXPECT_EQ(jobsWhileOpen, 1u) << "only the next tick's preparation goes out";
  EXPECT_EQ(show.boxes.shown.size(), 1u);

  // After the box is dismissed the show goes on, the box's tick counted
  // as the first of the pass's three.
  show.boxes.whileOpen = nullptr;
  show.folder.exists = true;
  show.folder.Add(L"A.JPG");
  show.folder.Add(L"B.JPG");
  EXPECT_EQ(show.Ticks(3), (Names{L"A.JPG", L"A.JPG", L"B.JPG"}));
}
}  // namespace
}  // namespace salvanto
