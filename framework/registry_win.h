#pragma once
// A text value of the registry (REG_SZ or REG_EXPAND_SZ, as stored: an
// expandable one is not expanded), however long.
#include <windows.h>

#include "base/filled_text.h"

namespace salvanto::win {

inline FilledText RegistryText(HKEY root, const wchar_t* key, const wchar_t* value) {
  return FillText([&](wchar_t* buffer, std::size_t capacity) {
    auto bytes = static_cast<DWORD>(capacity * sizeof(wchar_t));
    const LSTATUS status =
        RegGetValueW(root, key, value, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer, &bytes);
    return StatusAnswer(status, bytes / sizeof(wchar_t) + 1);  // room for a NUL the value may lack
  });
}

}  // namespace salvanto::win
