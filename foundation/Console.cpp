#include "foundation/Console.h"

#include "foundation/Text.h"
#include "foundation/Win.h"

namespace {

// WriteFile rather than the C runtime: its text mode would turn each '\n'
// into "\r\n". Nothing is buffered, so every line is flushed at once.
void WriteAll(DWORD stream, const std::string& bytes) {
    HANDLE handle = GetStdHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = left > 65536 ? 65536 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(handle, next, chunk, &written, nullptr) || written == 0) return;
        next += written;
        left -= written;
    }
}

// A redirected stream of a process without a console reports code page 0:
// the bytes then go out in the ANSI code page, as they are.
std::string InConsoleCodePage(const std::string& text) {
    const UINT console = GetConsoleOutputCP();
    if (console == 0 || console == GetACP()) return text;
    return WideToMultiByte(MultiByteToWide(text), console);
}

}  // namespace

void ConsoleLine(const std::string& text) {
    WriteAll(STD_OUTPUT_HANDLE, InConsoleCodePage(text) + '\n');
}

void RawConsoleLine(const std::string& text) {
    WriteAll(STD_OUTPUT_HANDLE, text + '\n');
}

void ErrorText(const std::string& text) {
    WriteAll(STD_ERROR_HANDLE, text);
}
