// Windows' wide characters are UTF-16 code units, so texts pass between the platform layer's
// std::u16string and the wide-character calls unchanged.
#pragma once

#include <windows.h>

#include <algorithm>
#include <span>
#include <string>

namespace hidplatform::windows {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring ToWide(const std::u16string& text) {
  return std::wstring(text.begin(), text.end());
}

// The text in a buffer of UTF-16 units up to its first zero, or all of it when none is zero.
inline std::u16string TextUpToZero(std::span<const wchar_t> units) {
  const auto end = std::find(units.begin(), units.end(), L'\0');
  return std::u16string(units.begin(), end);
}

}  // namespace hidplatform::windows
