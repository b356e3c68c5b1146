// Internal consistency checks. A failed check is reported in a message box
// naming the executable, process, source file, line and expression, and then
// ends the asserting thread only (exit code 0x8805).
#pragma once

[[noreturn]] void AssertFailed(const char* expression, const char* file, unsigned line);

// The report shows the expression as written in the check.
#define VELL_ASSERT(expression, file, line) \
    ((expression) ? static_cast<void>(0) : AssertFailed(#expression, file, line))
