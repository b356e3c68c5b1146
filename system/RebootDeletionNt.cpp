// Windows NT family: the system keeps delayed deletions as pairs (source,
// empty target) in the multi-string value PendingFileRenameOperations, the
// sources in the "\??\" form.
#include "system/RebootDeletionFamilies.h"

#include "foundation/PendingRenames.h"
#include "foundation/TextConversion.h"
#include "foundation/Win.h"

namespace {

// The 8.3 form of an existing object, without a "\\?\" prefix; empty when
// the system cannot give it.
std::wstring ShortPathW(std::wstring path) {
    // "\??\C:\x" is the kernel's form; "\\?\C:\x" is the one path functions take.
    if (path.compare(0, 4, L"\\??\\") == 0) path[1] = L'\\';
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return std::wstring();
    std::wstring shortPath(buffer, length);
    if (shortPath.compare(0, 4, L"\\\\?\\") == 0) shortPath.erase(0, 4);
    return shortPath;
}

// Stored names keep characters outside the ANSI code page: both sides are
// compared as UTF-16, by short path.
bool SamePath(const std::wstring& first, const std::wstring& second) {
    return lstrcmpiW(first.c_str(), second.c_str()) == 0;
}

}  // namespace

bool CancelDeleteOnRebootNt(const std::string& path) {
    if (!AnyPendingRenames()) return false;
    const std::wstring wanted = ShortPathW(MultiByteToWide(path));
    if (wanted.empty()) return false;
    return RemovePendingRenamePairs([&](const std::wstring& source, const std::wstring& target) {
        if (!target.empty()) return false;  // renames stay
        const std::wstring shortSource = ShortPathW(source);
        return !shortSource.empty() && SamePath(shortSource, wanted);
    });
}
