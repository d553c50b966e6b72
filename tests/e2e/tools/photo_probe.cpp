// photo_probe.exe: the program's own photo code, run in the test's Wine
// prefix and display, for what the end-to-end tests cannot see from
// outside. It prints UTF-8 JSON, one value per line.
//
//   photo_probe names <pattern>
//       one pass of the photo listing as the tick sees it, one line per name
//       ({"name": ...}; any name the file system holds comes out exactly),
//       or a line {"failure": ...} and exit code 1
//   photo_probe decodes <file>
//       whether the platform alone (WIC, no scaling of ours) reads the
//       picture: {"decodes": true} and exit code 0, else false and 1
//   photo_probe soak-figures <folder> <ticks> <every>
//       ticks of the real photo show over a folder, as fast as it goes, and
//       a line every <every> ticks with what a leak would show in: working
//       set, private bytes, handles, Linux file descriptors, GDI and USER
//       objects, the boxes counted, the passes and the caption
//
// Exit codes: 0 done, 1 the listing or the decode failed, 2 bad usage or no
// display.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/handles.h"
#include "pictures/listing_win.h"
#include "tests/e2e/tools/bare_decode.h"
#include "tests/e2e/tools/json.h"
#include "tests/e2e/tools/process_figures.h"
#include "tests/e2e/tools/soak_host.h"

using namespace salvanto;
using namespace salvanto::json;
using namespace salvanto::win;

namespace {

int Error(int code, const std::wstring& message) {
  Print(Object().Add("error", Quote(message)).Str());
  return code;
}

int Names(const std::wstring& pattern) {
  Win32FileFinder finder;
  DirectoryListing listing(finder);
  try {
    for (std::wstring name = listing.Start(pattern, kOrdinaryFiles); !name.empty(); name = listing.Continue()) {
      Print(Object().Add("name", Quote(name)).Str());
    }
  } catch (const ListingFailure& e) {
    const std::string what = e.what();
    Print(Object().Add("failure", Quote(std::wstring(what.begin(), what.end()))).Str());
    return 1;
  }
  return 0;
}

int Decodes(const std::wstring& path) {
  const bool ok = BareDecode(path);
  Print(Object().Add("decodes", Bool(ok)).Str());
  return ok ? 0 : 1;
}

std::string Seconds(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", ms / 1000.0);
  return text;
}

int SoakFigures(const std::wstring& folder, int ticks, int every) {
  if (ticks < 0 || every < 1) return Error(2, L"usage: soak-figures <folder> <ticks> <every>, every at least 1");
  SoakHost soak(folder);
  if (!soak) return Error(2, L"no window (is there a display?)");

  const double start = NowMs();
  const auto report = [&](int done) {
    const PROCESS_MEMORY_COUNTERS_EX memory = Memory();
    const Figure priv = PrivateBytes(memory);
    const Figure handles = HandleCount();
    const Figure gdi = GdiObjects();
    const auto number = [](unsigned long long value) { return Num(static_cast<long long>(value)); };
    const auto text = [](const char* ascii) { return Quote(std::wstring(ascii, ascii + std::strlen(ascii))); };
    Print(Object()
              .Add("ticks", Num(done))
              .Add("seconds", Seconds(NowMs() - start))
              .Add("working_set", number(memory.WorkingSetSize))
              .Add("private_bytes", number(priv.value))
              .Add("private_source", text(priv.source))
              .Add("handles", number(handles.value))
              .Add("handles_source", text(handles.source))
              .Add("fds", number(LinuxDescriptors()))
              .Add("gdi", number(gdi.value))
              .Add("gdi_source", text(gdi.source))
              .Add("user", number(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)))
              .Add("boxes", Num(soak.BoxesShown()))
              .Add("caption", Quote(soak.Caption()))
              .Str());
  };
  report(0);
  for (int tick = 1; tick <= ticks; ++tick) {
    soak.Tick();
    if (tick % every == 0) report(tick);
  }
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  com_apartment com;
  const std::wstring mode = argc >= 2 ? argv[1] : L"";
  if (mode == L"names" && argc == 3) return Names(argv[2]);
  if (mode == L"decodes" && argc == 3) return Decodes(argv[2]);
  if (mode == L"soak-figures" && argc == 5) return SoakFigures(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
  return Error(2, L"usage: photo_probe names|decodes|soak-figures ... (see tests/e2e/tools/photo_probe.cpp)");
}
