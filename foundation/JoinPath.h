// Joins two path parts with exactly one backslash between them.
#pragma once

#include <string>

// A backslash at the end of `first` counts only when it is a character of
// its own, not the second byte of a double-byte character of the system's
// ANSI code page.
std::string JoinPath(const std::string& first, const std::string& second);

// The same with the code page named (0 is the system's ANSI code page).
std::string JoinPath(const std::string& first, const std::string& second, unsigned codePage);
