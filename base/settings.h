#pragma once
// The two settings the program keeps in the per-user settings store: where
// they live, their defaults, and how their text becomes values.
#include <cstdint>
#include <string>
#include <string_view>

namespace salvanto {

inline constexpr std::wstring_view kAppTitle = L"SCRNSAVE: The Salvanto Anthology 2002";
inline constexpr std::wstring_view kSection = L"Settings";
inline constexpr std::wstring_view kIntervalKey = L"Interval";
inline constexpr std::wstring_view kIntervalDefault = L"2";
inline constexpr std::wstring_view kPhotoDirKey = L"SalvantosDir";
inline constexpr std::wstring_view kPhotoDirDefault = L" ";

// Where the platform's store keeps an application's section, under the
// user's key: where the companion application writes SalvantosDir.
std::wstring SettingsKeyPath(std::wstring_view app, std::wstring_view section);

// Text values by application, section and key, per user.
class SettingsStore {
public:
  virtual ~SettingsStore() = default;
  // The stored text, or fallback when the key, section or application is absent.
  virtual std::wstring Read(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                            std::wstring_view fallback) = 0;
  // Replaces any old value; creates the section and application as needed.
  // A refused write throws.
  virtual void Write(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                     std::wstring_view value) = 0;
};

// The user's text conventions that reading depends on.
class TextConventions {
public:
  virtual ~TextConventions() = default;
  virtual wchar_t DecimalSeparator() const = 0;
  virtual std::wstring Upper(std::wstring_view text) const = 0;
};

// Text to a 32-bit whole number: blanks around the number are ignored, a
// fraction goes to the nearest whole number with halves to the even one,
// the decimal separator is the user's. Not a number (the empty text
// included) throws a TypeMismatch, out of range an Overflow.
std::int32_t TextToWholeNumber(std::wstring_view text, wchar_t decimalSeparator);

// Interval, as whole seconds (default "2"). Errors name the setting and its text.
std::int32_t ReadIntervalSeconds(SettingsStore& store, const TextConventions& conventions);

// SalvantosDir upper-cased (default " "); no separator is added, nothing is checked.
std::wstring ReadPhotoDir(SettingsStore& store, const TextConventions& conventions);

// The shortest decimal text of delayMs / 1000: "1" to "60" for every delay
// the dialog offers.
std::wstring DelayText(std::int32_t delayMs);

// What "Set" does: write the delay text to Interval.
void SaveDelay(SettingsStore& store, std::int32_t delayMs);

}  // namespace salvanto
