#include "uninstaller/RebootDeletion.h"

#include "foundation/FullPath.h"
#include "foundation/PendingRenames.h"
#include "foundation/SameText.h"
#include "foundation/TextConversion.h"
#include "foundation/Win.h"

#include <vector>

namespace {

const char deletePrefix[] = "NUL=";
const size_t sectionLimit = 0x7FFF;

bool IsNtFamily() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string RenameLine(const std::string& path) {
    const std::string shortPath = ShortPathOf(path);
    return shortPath.empty() ? std::string() : deletePrefix + shortPath;
}

size_t BytesInUse(const std::vector<std::string>& lines) {
    size_t used = 0;
    for (const std::string& line : lines) used += line.size() + 1;
    return used;
}

// The section holds several "NUL=" lines, which the key-based profile
// functions cannot write: the whole section is read and written back.
bool AppendRenameLine(const std::string& path) {
    const std::string line = RenameLine(path);
    std::vector<std::string> lines;
    if (line.empty() || !ReadRenameSection(lines)) return false;
    if (BytesInUse(lines) + line.size() + 2 >= sectionLimit) return false;
    lines.push_back(line);
    return WriteRenameSection(lines);
}

bool RemoveRenameLine(const std::string& path) {
    const std::string line = RenameLine(path);
    std::vector<std::string> lines, kept;
    if (line.empty() || !ReadRenameSection(lines)) return false;
    for (const std::string& existing : lines)
        if (!SameText(existing, line)) kept.push_back(existing);
    return kept.size() != lines.size() && WriteRenameSection(kept);
}

}  // namespace

bool DeleteAtReboot(const std::string& path) {
    return IsNtFamily() ? AddPendingDeletion(path) : AppendRenameLine(path);
}

bool KeepAtReboot(const std::string& path) {
    if (!IsNtFamily()) return RemoveRenameLine(path);
    // MoveFileEx stores the path as given, behind the kernel's "\??\".
    const std::wstring stored = L"\\??\\" + MultiByteToWide(path);
    return RemovePendingRenamePairs([&](const std::wstring& source, const std::wstring& target) {
        return target.empty() && lstrcmpiW(source.c_str(), stored.c_str()) == 0;
    });
}
