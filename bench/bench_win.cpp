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
//   salvanto_bench soak <folder> <ticks>
//       ticks of the real photo show over a folder, with working set and
//       GDI/USER object counts every 200 ticks
//   salvanto_bench ticks <folder> <ticks>
//       ticks of the real photo show, one after the other, one JSON line
//       each: from the tick to its photo painted in Image1 (or its box
//       counted), and how much of that the user-interface thread spent
//
// The soak host, the platform's bare decode and the process figures are the
// end-to-end tests' tools (tests/e2e/tools), which time and count the same
// things there.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/handles.h"
#include "pictures/picture_win.h"
#include "tests/e2e/tools/bare_decode.h"
#include "tests/e2e/tools/process_figures.h"
#include "tests/e2e/tools/soak_host.h"

using namespace salvanto;
using namespace salvanto::win;

namespace {

double Mb(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

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
    std::printf("%6d %9.2f %9.2f %9.2f %5llu %6d\n", done, Mb(memory.WorkingSetSize), Mb(memory.PagefileUsage),
                Mb(memory.PeakWorkingSetSize), GdiObjects().value, soak.BoxesShown());
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

int Usage() {
  std::printf("usage: salvanto_bench load|bare|save|soak|ticks ... (see bench/bench_win.cpp)\n");
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
  if (mode == L"soak" && argc >= 4) return Soak(argv[2], _wtoi(argv[3]));
  if (mode == L"ticks" && argc >= 4) return Ticks(argv[2], _wtoi(argv[3]));
  return Usage();
}
