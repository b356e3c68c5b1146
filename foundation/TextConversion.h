// Conversions between UTF-16 and multibyte code pages.
#pragma once

#include <string>

// codePage 0 means the system's ANSI code page (GetACP).
std::string WideToMultiByte(const std::wstring& text, unsigned codePage = 0);
std::wstring MultiByteToWide(const std::string& text, unsigned codePage = 0);
