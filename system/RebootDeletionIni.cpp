// The Windows 9x family: WININIT.INI in the Windows directory, section
// [Rename], one "NUL=<short path>" line per object to delete. The section
// holds several "NUL=" lines, which the key-based profile functions cannot
// write: it is read whole and written back whole, so that other lines keep
// their order.
#include "system/RebootDeletion.h"

#include "foundation/Path.h"
#include "foundation/Text.h"
#include "foundation/Win.h"

#include <vector>

namespace {

const char kIniFile[] = "WININIT.INI";
const char kRenameSection[] = "Rename";
const char kDeletePrefix[] = "NUL=";
// The most a section may take, its final terminator included: the 9x
// profile functions handle no more.
constexpr DWORD kSectionLimit = 0x7FFF;
// Larger than any section we accept, so that a section of exactly the limit
// is told from one that was cut (a cut one comes back as the buffer less two).
constexpr DWORD kReadBufferSize = 2 * (kSectionLimit + 1);

// False when the section cannot be read whole or is over the limit: such a
// section must never be written back shortened.
bool ReadRenameSection(std::vector<std::string>& lines) {
    std::string buffer(kReadBufferSize, '\0');
    const DWORD length = GetPrivateProfileSectionA(kRenameSection, &buffer[0], kReadBufferSize, kIniFile);
    if (length + 1 > kSectionLimit) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return false;
    }
    lines.clear();
    for (DWORD at = 0; at < length && buffer[at] != '\0';) {
        lines.emplace_back(&buffer[at]);
        at += static_cast<DWORD>(lines.back().size()) + 1;
    }
    return true;
}

bool WriteRenameSection(const std::vector<std::string>& lines) {
    std::string buffer;
    for (const std::string& line : lines) buffer.append(line).push_back('\0');
    if (lines.empty()) buffer.push_back('\0');
    buffer.push_back('\0');
    if (!WritePrivateProfileStringA(kRenameSection, nullptr, nullptr, kIniFile)) return false;
    return WritePrivateProfileSectionA(kRenameSection, buffer.data(), kIniFile) != FALSE;
}

// The section's size with its final terminator.
std::size_t SectionSize(const std::vector<std::string>& lines) {
    std::size_t size = 1;
    for (const std::string& line : lines) size += line.size() + 1;
    return size;
}

// A deletion line of the object: "NUL=" and the path as given or its short
// form (the one this family needs and the one written here).
bool DeletionOf(const std::string& line, const std::string& path, const std::string& shortPath) {
    const std::string prefix = kDeletePrefix;
    if (!SameText(line.substr(0, prefix.size()), prefix)) return false;
    const std::string named = line.substr(prefix.size());
    return SameText(named, path) || (!shortPath.empty() && SameText(named, shortPath));
}

}  // namespace

bool ScheduleDeleteOnRebootIni(const std::string& path) {
    const std::string shortPath = ShortPathOf(path);
    if (shortPath.empty()) return false;
    const std::string newLine = kDeletePrefix + shortPath;
    std::vector<std::string> lines;
    if (!ReadRenameSection(lines)) return false;
    // Only the short form serves this family: a line naming the long path
    // does not count as the request.
    for (const std::string& line : lines)
        if (SameText(line, newLine)) return true;

    lines.push_back(newLine);
    if (SectionSize(lines) > kSectionLimit) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return false;
    }
    return WriteRenameSection(lines);
}

bool CancelDeleteOnRebootIni(const std::string& path) {
    std::vector<std::string> lines;
    if (!ReadRenameSection(lines)) return false;
    const std::string shortPath = ShortPathOf(path);
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (!DeletionOf(line, path, shortPath)) kept.push_back(line);
    return kept.size() != lines.size() && WriteRenameSection(kept);
}
