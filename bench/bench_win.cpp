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
#include <windows.h>
#include <psapi.h>
#include <wincodec.h>
#include <winternl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "slideshow/image_win.h"
#include "slideshow/listing_win.h"
#include "slideshow/panel3d_win.h"
#include "slideshow/photo_show_win.h"
#include "slideshow/picture_win.h"
#include "startup/win/handles.h"
#include "startup/win/platform_win.h"

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

com_ptr<IWICImagingFactory> Factory() {
  com_ptr<IWICImagingFactory> factory;
  CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put()));
  return factory;
}

// The platform's own decode of the whole picture into one 32-bit buffer.
bool BareDecode(const std::wstring& path) {
  auto factory = Factory();
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

int Soak(const std::wstring& folder, int ticks) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"SalvantoBenchHost";
  RegisterClassExW(&wc);
  HWND host = CreateWindowExW(0, wc.lpszClassName, L"soak", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 560,
                              nullptr, nullptr, instance, nullptr);
  if (!host) {
    std::printf("no window (is there a display?)\n");
    return 2;
  }
  PanelSettings frame;
  frame.BackColor = RGB(0, 0, 0);
  frame.BevelOuter = Bevel::Inset;
  frame.BevelWidth = 8;
  Panel3D& panel = Panel3D::Create(host, kIdSSPanel1, frame, PixelRect{0, 0, 793, 489});
  ImageControl& image = ImageControl::Create(panel.hwnd(), kIdImage1, PixelRect{8, 8, 785, 481});
  PanelSettings strip;
  strip.ForeColor = RGB(255, 0, 0);
  strip.BackColor = RGB(0, 0, 0);
  strip.BevelOuter = Bevel::None;
  Panel3D& year = Panel3D::Create(host, kIdPanYear, strip, PixelRect{270, 489, 523, 513});

  Platform& real = ThePlatform();
  CountingBoxes boxes;
  Platform platform{real.cursor, real.end, real.screen, real.store, real.text, boxes};
  SharedState state;
  state.PhotoDir = real.text.Upper(folder);
  PhotoShow show(platform, state, image, year);

  std::printf("GDI objects counted through %s\n", GdiObjects().source);
  std::printf("%6s %9s %9s %9s %5s %6s\n", "ticks", "ws_mb", "priv_mb", "peak_mb", "gdi", "boxes");
  const auto report = [&](int done) {
    const auto memory = Memory();
    std::printf("%6d %9.2f %9.2f %9.2f %5lu %6d\n", done, Mb(memory.WorkingSetSize), Mb(memory.PagefileUsage),
                Mb(memory.PeakWorkingSetSize), GdiObjects().count, boxes.shown);
    std::fflush(stdout);
  };
  report(0);
  const double start = NowMs();
  for (int tick = 1; tick <= ticks; ++tick) {
    show.Tick();
    PumpMessages();
    if (tick % 200 == 0) report(tick);
  }
  std::printf("%d ticks in %.1f s, caption now \"%ls\"\n", ticks, (NowMs() - start) / 1000.0, year.Caption().c_str());
  DestroyWindow(host);
  return 0;
}

int List(const std::wstring& pattern) {
  Win32Listing listing;
  int failures = 0;
  for (int pass = 1; pass <= 2; ++pass) {
    try {
      std::wstring name = listing.Start(pattern, kOrdinaryFiles);
      std::printf("pass %d:", pass);
      while (!name.empty()) {
        std::printf(" [%ls]", name.c_str());
        name = listing.Continue();
      }
      std::printf(" (end; search open: %s)\n", listing.Finder().IsOpen() ? "yes" : "no");
      listing.Continue();
      std::printf("a continue after the end did not fail\n");
      ++failures;
    } catch (const PhotoFailure& e) {
      std::printf("failure: %s\n", e.what());
    }
  }
  return failures;
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
  return Usage();
}
