#include "uninstaller/Report.h"

#include "foundation/TextConversion.h"
#include "foundation/Win.h"

namespace {

// Paths may hold bytes of the ANSI code page; a console shows its own code
// page. Without a console (output redirected) the bytes go out unchanged.
std::string ForConsole(const std::string& text) {
    const UINT consolePage = GetConsoleOutputCP();
    if (consolePage == 0 || consolePage == GetACP()) return text;
    return WideToMultiByte(MultiByteToWide(text), consolePage);
}

}  // namespace

void Report::Line(const std::string& text) {
    const std::string line = ForConsole(text) + "\n";
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void Report::Failure(const std::string& text) {
    Line(text);
    m_failures.push_back(text);
}
