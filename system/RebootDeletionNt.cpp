// Windows NT family: the system keeps delayed deletions as pairs (source,
// empty target) in the multi-string value PendingFileRenameOperations, the
// sources in the "\??\" form.
#include "system/RebootDeletionFamilies.h"

#include "foundation/DllLoader.h"
#include "foundation/RegKey.h"
#include "foundation/Win.h"

#include <vector>

namespace {

const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";


// True when a stored source names the object whose short path is given.
bool StoredSourceMatches(std::string source, const std::string& wantedShortPath) {
    // "\??\C:\x" is the kernel's form; "\\?\C:\x" is the one path functions take.
    if (source.compare(0, 4, "\\??\\") == 0) source[1] = '\\';
    std::string shortSource = ShortPathOf(source);
    if (shortSource.empty()) return false;
    if (shortSource.compare(0, 4, "\\\\?\\") == 0) shortSource.erase(0, 4);
    return SamePathText(shortSource, wantedShortPath);
}

}  // namespace

bool ScheduleDeleteOnRebootNt(const std::string& path) {
    DllLoader kernel;
    if (!kernel.Load("kernel32.dll", true)) return false;
    auto moveFileEx = kernel.GetProc<decltype(&::MoveFileExA)>("MoveFileExA", true);
    if (!moveFileEx) return false;
    return moveFileEx(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool CancelDeleteOnRebootNt(const std::string& path) {
    // Usually nothing is pending at all: one query, nothing thrown or parsed.
    if (RegKeyNoThrow().ValueSize(HKEY_LOCAL_MACHINE, kSessionManagerKey, kPendingValue) == 0) return false;
    std::vector<std::string> entries =
        RegKey(HKEY_LOCAL_MACHINE, kSessionManagerKey).ReadMultiString(kPendingValue);
    std::string wanted = ShortPathOf(path);
    if (wanted.empty()) return false;

    bool removed = false;
    std::size_t pair = 0;
    while (entries.size() - pair >= 2) {
        bool isDeletion = entries[pair + 1].empty();
        if (isDeletion && StoredSourceMatches(entries[pair], wanted)) {
            // The next pair moves into this position: look at it again.
            entries.erase(entries.begin() + pair, entries.begin() + pair + 2);
            removed = true;
        } else {
            pair += 2;
        }
    }
    if (!removed) return false;

    try {
        RegKey(HKEY_LOCAL_MACHINE, kSessionManagerKey).WriteMultiString(kPendingValue, entries);
    } catch (const std::exception&) {
        // The deletions were found; a failed write does not change the answer.
    }
    return true;
}
