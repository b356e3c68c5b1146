// The Windows 9x family: WININIT.INI in the Windows directory, section
// [Rename], one "NUL=<short path>" line per object to delete. The section is
// always rewritten whole so that other lines keep their order.
#include "system/RebootDeletionFamilies.h"

#include "foundation/FullPath.h"
#include "foundation/PendingRenames.h"
#include "foundation/SameText.h"
#include "foundation/Win.h"

#include <vector>

namespace {

const char kDeletePrefix[] = "NUL=";
constexpr std::size_t kSectionLimit = 0x7FFF;

// Bytes up to the section's final terminator.
std::size_t BytesInUse(const std::vector<std::string>& lines) {
    std::size_t used = 0;
    for (const std::string& line : lines) used += line.size() + 1;
    return used;
}

}  // namespace

bool ScheduleDeleteOnRebootIni(const std::string& path) {
    std::string shortPath = ShortPathOf(path);
    if (shortPath.empty()) return false;
    std::string newLine = kDeletePrefix + shortPath;

    std::vector<std::string> lines;
    if (!ReadRenameSection(lines)) return false;
    for (const std::string& line : lines)
        if (SameText(line, newLine)) return true;

    if (BytesInUse(lines) + newLine.size() + 1 >= kSectionLimit) {
        SetLastError(ERROR_BUFFER_OVERFLOW);
        return false;
    }
    lines.push_back(newLine);
    return WriteRenameSection(lines);
}

bool CancelDeleteOnRebootIni(const std::string& path) {
    std::vector<std::string> lines;
    if (!ReadRenameSection(lines)) return false;
    std::string shortPath = ShortPathOf(path);
    if (shortPath.empty()) return false;
    std::string unwanted = kDeletePrefix + shortPath;

    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (!SameText(line, unwanted)) kept.push_back(line);
    if (kept.size() == lines.size()) return false;
    return WriteRenameSection(kept);
}
