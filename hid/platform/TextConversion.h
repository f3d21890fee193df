// UTF-8 <-> UTF-16 for the platform layer's texts. Malformed input becomes U+FFFD, never an
// overrun.
#pragma once

#include <string>
#include <string_view>

namespace hidplatform {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace hidplatform
