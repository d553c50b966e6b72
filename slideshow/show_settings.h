#pragma once
// What Form1's load handling reads from the settings store, once for the
// whole show.
#include <cstdint>
#include <string>

namespace salvanto {

struct ShowSettings {
  std::int32_t IntervalSeconds = 0;  // Interval as read
  std::wstring PhotoDir;             // SalvantosDir as read, upper-cased
};

}  // namespace salvanto
