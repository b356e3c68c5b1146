// Conversions between UTF-16 and multibyte code pages.
#pragma once

#include <string>

// codePage 0 means the system's ANSI code page (GetACP).
std::string WideToMultiByte(const std::wstring& text, unsigned codePage = 0);
std::wstring MultiByteToWide(const std::string& text, unsigned codePage = 0);

// False when the code page cannot hold every character of `text` (the
// conversion would put another character in its place).
bool WideToMultiByteExactly(const std::wstring& text, std::string& result, unsigned codePage = 0);
