// Text rules shared by both families of the search path update.
#pragma once

#include <string>
#include <vector>

// Every piece between separators, empty ones included.
std::vector<std::string> SplitList(const std::string& text, char separator);

// Equal when compared without regard to letter case in the ANSI code page;
// nothing else is folded (no trimming, no trailing backslash rule).
bool SameTextIgnoringCase(const std::string& a, const std::string& b);
