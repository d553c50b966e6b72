// Figures a leak would show in, for this process, under Wine as on Windows:
// GDI objects, private bytes, kernel handles, Linux file descriptors. Where
// Wine 8 leaves a Windows counter at 0, the figure is found another way, and
// each says where it came from.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/handles.h"

namespace salvanto::win {

// A figure with where it came from: the platform's own counter where it
// answers, else what Wine's process on Linux shows (0 and "none": no way
// to count it).
struct Figure {
  unsigned long long value;
  const char* source;
};

// Live GDI objects of this process. GetGuiResources where it answers; Wine
// 8 reports 0 there, so otherwise the entries in use of the GDI handle
// table that the process environment block points to (x64 offset 0xF8),
// which Wine keeps per process.
inline Figure GdiObjects() {
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

// The whole of a small file, e.g. one under Z:\proc (Wine's drive Z: is
// the Linux root), or nothing when it cannot be read.
inline std::string ReadSmallFile(const wchar_t* path) {
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
inline Figure PrivateBytes(const PROCESS_MEMORY_COUNTERS_EX& memory) {
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
inline Figure HandleCount() {
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
inline unsigned long LinuxDescriptors() {
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

}  // namespace salvanto::win
