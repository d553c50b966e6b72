#pragma once
// Stand-ins for what the platform provides, shared by the unit tests.
#include <cwctype>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/cursor.h"
#include "base/platform.h"
#include "base/screen.h"
#include "base/settings.h"

namespace salvanto::testing {

struct FakeCursor : CursorCounter {
  explicit FakeCursor(int start = 0) : count(start) {}
  int ShowCursor(bool show) override {
    ++calls;
    return count += show ? 1 : -1;
  }
  int count;
  int calls = 0;
};

struct Ended {};  // thrown where the real program would be gone

struct FakeEnd : ProgramEnd {
  [[noreturn]] void EndNow() override {
    ++ends;
    throw Ended{};
  }
  int ends = 0;
};

struct FakeScreen : ScreenMetrics {
  FakeScreen(float w, float h) : width(w), height(h) {}
  float WidthTwips() override {
    ++widthReads;
    return width;
  }
  float HeightTwips() override {
    ++heightReads;
    return height;
  }
  float width, height;
  int widthReads = 0, heightReads = 0;
};

struct FakeStore : SettingsStore {
  using Key = std::tuple<std::wstring, std::wstring, std::wstring>;
  std::wstring Read(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                    std::wstring_view fallback) override {
    auto it = values.find({std::wstring(app), std::wstring(section), std::wstring(key)});
    return it == values.end() ? std::wstring(fallback) : it->second;
  }
  void Write(std::wstring_view app, std::wstring_view section, std::wstring_view key,
             std::wstring_view value) override {
    if (refuseWrites) throw std::runtime_error("store refused the write");
    values[{std::wstring(app), std::wstring(section), std::wstring(key)}] = value;
  }
  void Set(std::wstring_view key, std::wstring value) {
    values[{std::wstring(kAppTitle), std::wstring(kSection), std::wstring(key)}] = std::move(value);
  }
  std::map<Key, std::wstring> values;
  bool refuseWrites = false;
};

struct FakeConventions : TextConventions {
  wchar_t separator = L'.';
  wchar_t DecimalSeparator() const override { return separator; }
  std::wstring Upper(std::wstring_view text) const override {
    std::wstring out(text);
    for (auto& c : out) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return out;
  }
};

// Every box shown, text and title; whileOpen runs while the box is open.
struct FakeBoxes : MessageBoxes {
  void ShowMessage(std::wstring_view text, std::wstring_view title) override {
    shown.push_back({std::wstring(text), std::wstring(title)});
    if (whileOpen) whileOpen();
  }
  std::vector<std::pair<std::wstring, std::wstring>> shown;
  std::function<void()> whileOpen;
};

}  // namespace salvanto::testing
