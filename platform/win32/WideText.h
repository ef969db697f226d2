// Conversions between UTF-8 (the plug-in's text) and UTF-16 (the Win32 wide calls).
#pragma once

#include <string>

namespace platform::win32 {

// Invalid UTF-8 sequences become U+FFFD; an empty text gives an empty text.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

}  // namespace platform::win32
