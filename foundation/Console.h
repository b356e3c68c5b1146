// Console lines of the installer: standard output, one '\n' each, flushed
// at once.
#pragma once

#include <string>

// Writes text + '\n'; the text is converted from the ANSI code page to the
// console's code page first (paths and reasons may hold non-ASCII bytes).
void ConsoleLine(const std::string& text);

// Writes text + '\n' exactly as given, without conversion.
void RawConsoleLine(const std::string& text);

// Writes text exactly as given to standard error (the licence lines).
void ErrorText(const std::string& text);
