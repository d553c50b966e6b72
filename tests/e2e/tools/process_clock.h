// This process's time and memory, as the tools that measure the show read
// them. Only the platform's headers: the benchmark builds it against an
// older revision of the program too.
#pragma once

#include <windows.h>
#include <psapi.h>

namespace salvanto::win {

// Seconds on the performance counter: under Wine that is Linux's
// CLOCK_MONOTONIC_RAW, so a test can set these times beside its own.
inline double Seconds() {
  static const LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double NowMs() { return 1000.0 * Seconds(); }

// The working set, its peak and the private bytes.
inline PROCESS_MEMORY_COUNTERS_EX Memory() {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  return counters;
}

}  // namespace salvanto::win
