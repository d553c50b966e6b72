// JSON as the outside tools print it (inspector.exe, photo_probe.exe): UTF-8
// text, one value per line, written as bytes so that no console code page
// touches it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace salvanto::json {

inline std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
  return out;
}

// A JSON string of UTF-16 text: any name the file system holds comes out
// exactly, control characters included.
inline std::string Quote(std::wstring_view text) {
  std::string out = "\"";
  for (char c : Utf8(text)) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

inline std::string Num(long long value) { return std::to_string(value); }
inline std::string Bool(bool value) { return value ? "true" : "false"; }

// An object as a list of "key": value pairs, written in order.
class Object {
public:
  Object& Add(const char* key, const std::string& json) {
    text_ += (text_.empty() ? "{" : ",");
    text_ += std::string("\"") + key + "\":" + json;
    return *this;
  }
  std::string Str() const { return text_.empty() ? "{}" : text_ + "}"; }

private:
  std::string text_;
};

inline std::string Array(const std::vector<std::string>& items) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + items[i];
  return out + "]";
}

// One line on stdout, straight to the handle: nothing buffers it, so a
// reader sees each line as soon as it is printed.
inline void Print(const std::string& json) {
  const std::string line = json + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace salvanto::json
