// The running system's own wording for a Win32 code, asked directly (Wine's
// differs from Windows'), for building expected failure texts.
#pragma once

#include "foundation/Win.h"

#include <string>

// False when the system has no text for the code.
inline bool SystemMessage(DWORD code, std::string& text) {
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                       nullptr, code, 0x0800, reinterpret_cast<char*>(&buffer), 0, nullptr);
    if (length == 0) return false;
    text.assign(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return true;
}

// Empty when the system has no text for the code.
inline std::string SystemText(DWORD code) {
    std::string text;
    return SystemMessage(code, text) ? text : std::string();
}

// The product's line for a call refused with access denied:
// "<operation> failed: Windows error: 5: <the system's text>".
inline std::string AccessDenied(const char* operation) {
    return std::string(operation) + " failed: Windows error: 5: " + SystemText(ERROR_ACCESS_DENIED);
}
