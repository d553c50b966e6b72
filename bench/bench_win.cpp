// Loading benchmark and soak for the photo loader, run under Wine by
// bench/run.sh. Each measuring command runs in a fresh process, so that
// the peak working set it reports belongs to that one load.
//
//   salvanto_bench load <file> <width> <height> [<warm-up file>]
//       the program's loader: decode and scale to width x height
//   salvanto_bench bare <file> [<warm-up file>]
//       the platform alone: decoder, frame, one full CopyPixels to 32 bpp
//   salvanto_bench save <file> <width> <height> <out.bmp>
//       the loader's result written out, for looking at
//   salvanto_bench list <pattern>
//       the photo listing as the tick sees it, then one continue too many
//   salvanto_bench soak <folder> <ticks>
//       ticks of the real photo show over a folder, with working set and
//       GDI/USER object counts every 200 ticks
//   salvanto_bench soak-figures <folder> <ticks> <every>
//       the same soak, printing one JSON line every <every> ticks: working
//       set, private bytes, handle count, Linux file descriptors, GDI and
//       USER objects, boxes
//   salvanto_bench ticks <folder> <ticks>
//       ticks of the real photo show, one after the other, one JSON line
//       each: from the tick to its photo painted in Image1 (or its box
//       counted), and how much of that the user-interface thread spent
//   salvanto_bench names <pattern>
//       one pass of the photo listing as the tick sees it, one UTF-8 JSON
//       line per name (any name the file system holds comes out exactly)
#include <windows.h>
#include <psapi.h>
#include <wincodec.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/image_win.h"
#include "controls/panel3d_win.h"
#include "framework/handles.h"
#include "framework/platform_win.h"
#include "pictures/listing_win.h"
#include "pictures/picture_win.h"
#include "slideshow/layout.h"
#include "slideshow/photo_show_win.h"

using namespace salvanto;
using namespace salvanto::win;

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

double Mb(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

// The platform's own decode of the whole picture into one 32-bit buffer.
bool BareDecode(const std::wstring& path) {
  auto factory = WicFactory();
  com_ptr<IWICBitmapDecoder> decoder;
  com_ptr<IWICBitmapFrameDecode> frame;
  if (!factory ||
      FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder.put())) ||
      FAILED(decoder->GetFrame(0, frame.put()))) {
    return false;
  }
  UINT width = 0, height = 0;
  WICPixelFormatGUID format{};
  if (FAILED(frame->GetSize(&width, &height)) || FAILED(frame->GetPixelFormat(&format))) return false;
  IWICBitmapSource* source = frame.get();
  com_ptr<IWICFormatConverter> converter;
  if (format != GUID_WICPixelFormat32bppBGR) {
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
      return false;
    }
    source = converter.get();
  }
  const UINT stride = width * 4;
  std::vector<BYTE> pixels(std::size_t{stride} * height);
  return SUCCEEDED(source->CopyPixels(nullptr, stride, static_cast<UINT>(pixels.size()), pixels.data()));
}

// Loads a small file of the same kind first, so that the measured load
// pays for no DLL loading or first-use set-up.
void WarmUp(int argc, wchar_t** argv, int index) {
  if (argc > index) LoadPictureFile(argv[index], {16, 16});
}

int Measure(const wchar_t* what, bool ok, double ms, SIZE_T baseline) {
  const auto memory = Memory();
  std::printf("%ls ok=%d ms=%.2f peak_mb=%.2f base_mb=%.2f\n", what, ok ? 1 : 0, ms, Mb(memory.PeakWorkingSetSize),
              Mb(baseline));
  return ok ? 0 : 1;
}

bool SaveBmp(HBITMAP bitmap, const std::wstring& path) {
  DIBSECTION dib{};
  if (!GetObjectW(bitmap, sizeof dib, &dib) || !dib.dsBm.bmBits) return false;
  const DWORD bytes = static_cast<DWORD>(dib.dsBm.bmWidthBytes * dib.dsBm.bmHeight);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + bytes;
  BITMAPINFOHEADER info = dib.dsBmih;
  info.biHeight = -dib.dsBm.bmHeight;
  unique_handle out(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (out.get() == INVALID_HANDLE_VALUE) {
    out.release();
    return false;
  }
  DWORD written = 0;
  return WriteFile(out.get(), &file, sizeof file, &written, nullptr) &&
         WriteFile(out.get(), &info, sizeof info, &written, nullptr) &&
         WriteFile(out.get(), dib.dsBm.bmBits, bytes, &written, nullptr);
}

// Live GDI objects of this process. GetGuiResources where it answers; Wine
// 8 reports 0 there, so otherwise the entries in use of the GDI handle
// table that the process environment block points to (x64 offset 0xF8),
// which Wine keeps per process.
struct GdiCount {
  unsigned long count;
  const char* source;
};

GdiCount GdiObjects() {
  if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return {n, "GetGuiResources"};
  struct Entry {
    ULONGLONG object;
    ULONG owner;
    USHORT unique;
    UCHAR type, flags;
    ULONGLONG user;
  };
  static_assert(sizeof(Entry) == 24);
  PROCESS_BASIC_INFORMATION info{};
  if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0 ||
      !info.PebBaseAddress) {
    return {0, "none"};
  }
  const auto* peb = reinterpret_cast<const BYTE*>(info.PebBaseAddress);
  const auto* table = *reinterpret_cast<const Entry* const*>(peb + 0xF8);
  if (!table) return {0, "none"};
  unsigned long n = 0;
  for (int i = 0; i < 0x10000; ++i) n += table[i].type != 0;
  return {n, "the GDI handle table"};
}

// Message boxes that are counted, not shown: the soak runs unattended.
struct CountingBoxes final : MessageBoxes {
  void ShowMessage(std::wstring_view, std::wstring_view) override { ++shown; }
  int shown = 0;
};

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A screen of 800 x 600 pixels at 96 DPI.
struct Screen800x600 final : ScreenMetrics {
  float WidthTwips() override { return PixelsToTwips(800, 96); }
  float HeightTwips() override { return PixelsToTwips(600, 96); }
};

// Image1 in its frame and the caption strip, as Form1 lays them out on
// 800 x 600, with the real photo show over a folder. Message boxes are
// counted, not shown: the soak runs unattended.
class SoakHost {
public:
  explicit SoakHost(const std::wstring& folder)
      : platform_{ThePlatform().cursor, ThePlatform().end,  ThePlatform().screen,
                  ThePlatform().store,  ThePlatform().text, boxes_} {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"SalvantoSoakHost";
    RegisterClassExW(&wc);
    host_ = CreateWindowExW(0, wc.lpszClassName, L"soak", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 560,
                            nullptr, nullptr, instance, nullptr);
    if (!host_) return;
    Screen800x600 screen;
    const Form1Layout layout = LoadLayout(screen);
    const auto pixels = [](const TwipRect& rect) { return ToPixels(rect, TwipsPerPixel(96)); };
    PanelSettings frame;
    frame.BackColor = RGB(0, 0, 0);
    frame.BevelOuter = Bevel::Inset;
    frame.BevelWidth = 8;
    Panel3D& panel = Panel3D::Create(host_, kIdSSPanel1, frame, pixels(layout.SSPanel1));
    ImageControl& image = ImageControl::Create(panel.hwnd(), kIdImage1, pixels(layout.Image1));
    PanelSettings strip;
    strip.ForeColor = RGB(255, 0, 0);
    strip.BackColor = RGB(0, 0, 0);
    strip.BevelOuter = Bevel::None;
    year_ = &Panel3D::Create(host_, kIdPanYear, strip, pixels(layout.panYear));
    state_.PhotoDir = platform_.text.Upper(folder);
    show_ = std::make_unique<PhotoShow>(platform_, state_, image, *year_, host_);
  }
  SoakHost(const SoakHost&) = delete;
  SoakHost& operator=(const SoakHost&) = delete;
  ~SoakHost() {
    show_.reset();
    if (host_) DestroyWindow(host_);
  }

  // False when there is no display to make the windows on.
  explicit operator bool() const { return show_ != nullptr; }
  // Milliseconds from a tick to its photo painted (or its box counted), and
  // the part of them the user-interface thread was busy.
  struct TickTimes {
    double toPhoto = 0, busy = 0;
  };

  // One tick, its photo loaded on the show's worker thread and put up (or
  // its box counted), and the messages it left (repaints) handled.
  TickTimes Tick() {
    const double start = NowMs();
    show_->Tick();
    double busy = NowMs() - start;
    MSG msg;
    while (show_->Busy() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      const double handling = NowMs();
      if (msg.hwnd == host_ && msg.message == PhotoShow::kPhotoLoaded) {
        show_->Complete();
      } else {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      busy += NowMs() - handling;
    }
    const double painting = NowMs();
    PumpMessages();
    const double end = NowMs();
    return {end - start, busy + end - painting};
  }
  int BoxesShown() const { return boxes_.shown; }
  int PassCount() const { return show_->PassCount(); }
  std::wstring Caption() const { return year_->Caption(); }

private:
  CountingBoxes boxes_;
  Platform platform_;
  SharedState state_;
  HWND host_ = nullptr;
  Panel3D* year_ = nullptr;
  std::unique_ptr<PhotoShow> show_;
};

int Soak(const std::wstring& folder, int ticks) {
  SoakHost soak(folder);
  if (!soak) {
    std::printf("no window (is there a display?)\n");
    return 2;
  }

  std::printf("GDI objects counted through %s\n", GdiObjects().source);
  std::printf("%6s %9s %9s %9s %5s %6s\n", "ticks", "ws_mb", "priv_mb", "peak_mb", "gdi", "boxes");
  const auto report = [&](int done) {
    const auto memory = Memory();
    std::printf("%6d %9.2f %9.2f %9.2f %5lu %6d\n", done, Mb(memory.WorkingSetSize), Mb(memory.PagefileUsage),
                Mb(memory.PeakWorkingSetSize), GdiObjects().count, soak.BoxesShown());
    std::fflush(stdout);
  };
  report(0);
  const double start = NowMs();
  for (int tick = 1; tick <= ticks; ++tick) {
    soak.Tick();
    if (tick % 200 == 0) report(tick);
  }
  std::printf("%d ticks in %.1f s, caption now \"%ls\"\n", ticks, (NowMs() - start) / 1000.0, soak.Caption().c_str());
  return 0;
}

int Ticks(const std::wstring& folder, int ticks) {
  SoakHost show(folder);
  if (!show) {
    std::printf("{\"error\":\"no window (is there a display?)\"}\n");
    return 2;
  }
  show.Tick();  // DLLs and decoders loaded once, not measured
  for (int tick = 1; tick <= ticks; ++tick) {
    const int boxes = show.BoxesShown();
    const SoakHost::TickTimes times = show.Tick();
    std::printf("{\"tick\":%d,\"to_photo_ms\":%.2f,\"ui_busy_ms\":%.2f,\"box\":%s}\n", tick, times.toPhoto, times.busy,
                show.BoxesShown() != boxes ? "true" : "false");
    std::fflush(stdout);
  }
  return 0;
}

int List(const std::wstring& pattern) {
  Win32FileFinder finder;
  DirectoryListing listing(finder);
  int failures = 0;
  for (int pass = 1; pass <= 2; ++pass) {
    try {
      std::wstring name = listing.Start(pattern, kOrdinaryFiles);
      std::printf("pass %d:", pass);
      while (!name.empty()) {
        std::printf(" [%ls]", name.c_str());
        name = listing.Continue();
      }
      std::printf(" (end; search open: %s)\n", finder.IsOpen() ? "yes" : "no");
      listing.Continue();
      std::printf("a continue after the end did not fail\n");
      ++failures;
    } catch (const ListingFailure& e) {
      std::printf("failure: %s\n", e.what());
    }
  }
  return failures;
}

// A JSON string of UTF-16 text, in UTF-8.
std::string JsonText(std::wstring_view text) {
  std::string utf8;
  if (!text.empty()) {
    const int size = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(bytes > 0 ? bytes : 0));
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), bytes, nullptr, nullptr);
  }
  std::string out = "\"";
  for (const char c : utf8) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// Written as bytes: the console's code page must not touch the UTF-8.
void PrintLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

int Names(const std::wstring& pattern) {
  Win32FileFinder finder;
  DirectoryListing listing(finder);
  try {
    for (std::wstring name = listing.Start(pattern, kOrdinaryFiles); !name.empty(); name = listing.Continue()) {
      PrintLine("{\"name\":" + JsonText(name) + "}");
    }
  } catch (const ListingFailure& e) {
    PrintLine("{\"failure\":" + JsonText(std::wstring(e.what(), e.what() + std::strlen(e.what()))) + "}");
    return 1;
  }
  return 0;
}

// A figure with where it came from: the platform's own counter where it
// answers, else what Wine's process on Linux shows.
struct Figure {
  unsigned long long value;
  const char* source;
};

// The whole of a small file, e.g. one under Z:\proc (Wine's drive Z: is
// the Linux root), or nothing when it cannot be read.
std::string ReadSmallFile(const wchar_t* path) {
  unique_handle file(
      CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return {};
  }
  std::string text;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0) text.append(chunk, read);
  return text;
}

// Memory that belongs to this process alone. Wine 8 leaves PrivateUsage at
// 0; Linux's count of the process's private pages stands in for it.
Figure PrivateBytes(const PROCESS_MEMORY_COUNTERS_EX& memory) {
  if (memory.PrivateUsage) return {memory.PrivateUsage, "PrivateUsage"};
  const std::string rollup = ReadSmallFile(L"Z:\\proc\\self\\smaps_rollup");
  unsigned long long kb = 0;
  bool found = false;
  for (const char* field : {"Private_Clean:", "Private_Dirty:"}) {
    const auto at = rollup.find(field);
    if (at == std::string::npos) continue;
    kb += std::strtoull(rollup.c_str() + at + std::strlen(field), nullptr, 10);
    found = true;
  }
  return found ? Figure{kb * 1024, "Linux private pages"} : Figure{0, "none"};
}

// Open kernel handles. Wine 8 does not count them for GetProcessHandleCount,
// so the handle table is probed: every value that names a handle counts.
// New handles take the lowest free slot, so the table is dense; the probe
// ends after a long run of free slots.
Figure HandleCount() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count) return {count, "GetProcessHandleCount"};
  constexpr std::uintptr_t kStep = 4, kGap = 4096 * kStep;
  unsigned long long n = 0;
  std::uintptr_t last = 0;
  for (std::uintptr_t value = kStep; value < last + kGap; value += kStep) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
      ++n;
      last = value;
    }
  }
  return {n, "probing the handle table"};
}

// File descriptors of the Linux process under this one: a file handle that
// is never closed keeps one.
unsigned long LinuxDescriptors() {
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW(L"Z:\\proc\\self\\fd\\*", &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  unsigned long n = 0;
  do {
    if (data.cFileName[0] != L'.') ++n;
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return n;
}

// The soak with the figures a leak would show in: memory the process holds
// (working set, private bytes), kernel handles, GDI and USER objects.
int SoakFigures(const std::wstring& folder, int ticks, int every) {
  if (ticks < 0 || every < 1) {
    PrintLine("{\"error\":\"usage: soak-figures <folder> <ticks> <every>, every at least 1\"}");
    return 2;
  }
  SoakHost soak(folder);
  if (!soak) {
    PrintLine("{\"error\":\"no window (is there a display?)\"}");
    return 2;
  }

  const double start = NowMs();
  const auto report = [&](int done) {
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    const Figure priv = PrivateBytes(memory);
    const Figure handles = HandleCount();
    const GdiCount gdi = GdiObjects();
    char line[768];
    std::snprintf(line, sizeof line,
                  "{\"ticks\":%d,\"seconds\":%.2f,\"working_set\":%llu,\"private_bytes\":%llu,"
                  "\"private_source\":\"%s\",\"handles\":%llu,\"handles_source\":\"%s\",\"fds\":%lu,"
                  "\"gdi\":%lu,\"gdi_source\":\"%s\",\"user\":%lu,\"boxes\":%d,\"pass_count\":%d,\"caption\":",
                  done, (NowMs() - start) / 1000.0, static_cast<unsigned long long>(memory.WorkingSetSize), priv.value,
                  priv.source, handles.value, handles.source, LinuxDescriptors(), gdi.count, gdi.source,
                  static_cast<unsigned long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)), soak.BoxesShown(),
                  soak.PassCount());
    PrintLine(line + JsonText(soak.Caption()) + "}");
  };
  report(0);
  for (int tick = 1; tick <= ticks; ++tick) {
    soak.Tick();
    if (tick % every == 0) report(tick);
  }
  return 0;
}

int Usage() {
  std::printf("usage: salvanto_bench load|bare|save|soak ... (see bench/bench_win.cpp)\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  com_apartment com;
  if (argc < 3) return Usage();
  const std::wstring mode = argv[1];
  if (mode == L"load" && argc >= 5) {
    WarmUp(argc, argv, 5);
    const SIZE_T baseline = Memory().WorkingSetSize;
    const double start = NowMs();
    unique_hbitmap picture = LoadPictureFile(argv[2], {_wtoi(argv[3]), _wtoi(argv[4])});
    const double ms = NowMs() - start;
    return Measure(L"load", static_cast<bool>(picture), ms, baseline);
  }
  if (mode == L"bare") {
    WarmUp(argc, argv, 3);
    const SIZE_T baseline = Memory().WorkingSetSize;
    const double start = NowMs();
    const bool ok = BareDecode(argv[2]);
    const double ms = NowMs() - start;
    return Measure(L"bare", ok, ms, baseline);
  }
  if (mode == L"save" && argc >= 6) {
    unique_hbitmap picture = LoadPictureFile(argv[2], {_wtoi(argv[3]), _wtoi(argv[4])});
    const bool ok = picture && SaveBmp(picture.get(), argv[5]);
    std::printf("save ok=%d\n", ok ? 1 : 0);
    return ok ? 0 : 1;
  }
  if (mode == L"list") return List(argv[2]);
  if (mode == L"soak" && argc >= 4) return Soak(argv[2], _wtoi(argv[3]));
  if (mode == L"soak-figures" && argc >= 5) return SoakFigures(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
  if (mode == L"names") return Names(argv[2]);
  if (mode == L"ticks" && argc >= 4) return Ticks(argv[2], _wtoi(argv[3]));
  return Usage();
}
