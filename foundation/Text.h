// Text in the system's ANSI code page: comparison without regard to case,
// upper case, and conversions between UTF-16 and multibyte code pages.
#pragma once

#include <string>

// codePage 0 means the system's ANSI code page (GetACP).
std::string WideToMultiByte(const std::wstring& text, unsigned codePage = 0);
std::wstring MultiByteToWide(const std::string& text, unsigned codePage = 0);

// False when the code page cannot hold every character of `text` (the
// conversion would put another character in its place).
bool WideToMultiByteExactly(const std::wstring& text, std::string& result, unsigned codePage = 0);

// Comparison of paths, key names and ProgIDs: without regard to case,
// multibyte-aware in the system's ANSI code page.
bool SameText(const std::string& first, const std::string& second);

// Upper case in the ANSI code page: the key of a path in sorted or hashed
// sets, where SameText cannot serve.
std::string UpperCase(std::string text);
