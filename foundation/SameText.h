// Comparison of paths, key names and ProgIDs: without regard to case,
// multibyte-aware in the system's ANSI code page.
#pragma once

#include <string>

bool SameText(const std::string& first, const std::string& second);

// Upper case in the ANSI code page: the key of a path in sorted or hashed
// sets, where SameText cannot serve.
std::string UpperCase(std::string text);
