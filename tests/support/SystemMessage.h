// The system's own text for a Win32 code, asked directly: the expected value
// of tests of the error texts (Wine words them differently from Windows).
#pragma once

#include "foundation/Win.h"

#include <string>

namespace foundation_errors_test {

// False when the system has no text for the code.
inline bool SystemMessage(DWORD code, std::string& text) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(0x1300, nullptr, code, 0x0800, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    if (length == 0) return false;
    text.assign(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return true;
}

}  // namespace foundation_errors_test
