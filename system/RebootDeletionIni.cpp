// The Windows 9x family: WININIT.INI in the Windows directory, section
// [Rename], one "NUL=<short path>" line per object to delete. The section is
// always rewritten whole so that other lines keep their order.
#include "system/RebootDeletionFamilies.h"

#include "foundation/Win.h"

#include <vector>

namespace {

const char kIniFile[] = "WININIT.INI";
const char kSection[] = "Rename";
const char kDeletePrefix[] = "NUL=";
constexpr DWORD kSectionBufferSize = 0x7FFF;

std::vector<std::string> ReadSectionLines() {
    std::vector<char> buffer(kSectionBufferSize, '\0');
    DWORD length = GetPrivateProfileSectionA(kSection, buffer.data(), kSectionBufferSize, kIniFile);
    std::vector<std::string> lines;
    for (DWORD at = 0; at < length && buffer[at] != '\0';) {
        lines.emplace_back(&buffer[at]);
        at += static_cast<DWORD>(lines.back().size()) + 1;
    }
    return lines;
}

// Bytes up to the section's final terminator.
std::size_t BytesInUse(const std::vector<std::string>& lines) {
    std::size_t used = 0;
    for (const std::string& line : lines) used += line.size() + 1;
    return used;
}

bool RewriteSection(const std::vector<std::string>& lines) {
    std::string buffer;
    for (const std::string& line : lines) buffer.append(line).push_back('\0');
    if (lines.empty()) buffer.push_back('\0');
    buffer.push_back('\0');
    if (!WritePrivateProfileStringA(kSection, nullptr, nullptr, kIniFile)) return false;
    return WritePrivateProfileSectionA(kSection, buffer.data(), kIniFile) != FALSE;
}

}  // namespace

bool ScheduleDeleteOnRebootIni(const std::string& path) {
    std::string shortPath = ShortPathOf(path);
    if (shortPath.empty()) return false;
    std::string newLine = kDeletePrefix + shortPath;

    std::vector<std::string> lines = ReadSectionLines();
    for (const std::string& line : lines)
        if (SamePathText(line, newLine)) return true;

    if (BytesInUse(lines) + newLine.size() + 1 >= kSectionBufferSize) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return false;
    }
    lines.push_back(newLine);
    return RewriteSection(lines);
}

bool CancelDeleteOnRebootIni(const std::string& path) {
    std::vector<std::string> lines = ReadSectionLines();
    std::string shortPath = ShortPathOf(path);
    if (shortPath.empty()) return false;
    std::string unwanted = kDeletePrefix + shortPath;

    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (!SamePathText(line, unwanted)) kept.push_back(line);
    if (kept.size() == lines.size()) return false;
    return RewriteSection(kept);
}
