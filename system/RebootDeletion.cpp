// The family is chosen here; the Windows NT family's mechanism is here too:
// the system keeps delayed deletions as pairs (source, empty target) in the
// multi-string value PendingFileRenameOperations, the sources in the "\??\"
// form, and a final empty string. The value is read and written as UTF-16,
// the form it is stored in, so that names outside the ANSI code page
// survive.
#include "system/RebootDeletion.h"

#include "foundation/DllLoader.h"
#include "foundation/RegKey.h"
#include "foundation/Text.h"
#include "foundation/Win.h"
#include "system/SystemInfo.h"

#include <functional>

namespace {

const wchar_t kSessionManagerKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";
const int kWriteAttempts = 5;

// A pair as stored: the source in the "\??\" form, the target empty for a
// deletion ("!" marks a replacing rename).
using PairFilter = std::function<bool(const std::wstring& source, const std::wstring& target)>;

struct PendingValue {
    bool exists = false;
    DWORD type = 0;
    std::string bytes;  // exactly as stored
};

bool Read(HKEY key, PendingValue& value) {
    value = PendingValue();
    DWORD size = 0;
    LONG code = RegQueryValueExW(key, kPendingValue, nullptr, &value.type, nullptr, &size);
    while (code == ERROR_SUCCESS || code == ERROR_MORE_DATA) {
        value.bytes.resize(size);
        code =
            RegQueryValueExW(key, kPendingValue, nullptr, &value.type, reinterpret_cast<BYTE*>(&value.bytes[0]), &size);
        if (code == ERROR_SUCCESS) {
            value.bytes.resize(size);
            value.exists = true;
            return true;
        }
    }
    return code == ERROR_FILE_NOT_FOUND;
}

UniqueRegKey OpenSessionManager(REGSAM access) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, access, &opened) != ERROR_SUCCESS) opened = nullptr;
    return UniqueRegKey(opened);
}

// Whether the value holds anything: one query, nothing read or parsed (the
// usual answer is no, and the installer asks once per file).
bool AnyPendingPairs() {
    const UniqueRegKey key = OpenSessionManager(KEY_QUERY_VALUE);
    DWORD size = 0;
    return key && RegQueryValueExW(key.get(), kPendingValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS &&
           size > 0;
}

// The bytes without the pairs `owned` picks; false when none is picked.
// Whatever follows the last whole pair (the list's end, an unpaired string,
// an odd byte) stays where it was.
bool WithoutOwnedPairs(const std::string& bytes, const PairFilter& owned, std::string& kept) {
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    kept.clear();
    size_t copiedUpTo = 0, pair = 0;  // in characters
    bool removed = false;
    while (true) {
        const size_t sourceEnd = text.find(L'\0', pair);
        if (sourceEnd == std::wstring::npos || sourceEnd == pair) break;
        const size_t targetEnd = text.find(L'\0', sourceEnd + 1);
        if (targetEnd == std::wstring::npos) break;
        const size_t next = targetEnd + 1;
        if (owned(text.substr(pair, sourceEnd - pair), text.substr(sourceEnd + 1, targetEnd - sourceEnd - 1))) {
            kept.append(bytes, copiedUpTo * sizeof(wchar_t), (pair - copiedUpTo) * sizeof(wchar_t));
            copiedUpTo = next;
            removed = true;
        }
        pair = next;
    }
    kept.append(bytes, copiedUpTo * sizeof(wchar_t), std::string::npos);
    return removed;
}

// The value is read again right before the write, so that requests other
// programs add meanwhile survive; a value that is not a REG_MULTI_SZ is left
// alone.
bool RemovePairs(const PairFilter& owned) {
    const UniqueRegKey key = OpenSessionManager(KEY_QUERY_VALUE | KEY_SET_VALUE);
    PendingValue value;
    std::string kept;
    if (!key || !Read(key.get(), value) || !value.exists || value.type != REG_MULTI_SZ ||
        !WithoutOwnedPairs(value.bytes, owned, kept))
        return false;
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
        PendingValue now;
        if (!Read(key.get(), now) || !now.exists || now.type != REG_MULTI_SZ) return false;
        // Changed since: decide again on what is there now.
        if (now.bytes != value.bytes) {
            value = now;
            if (!WithoutOwnedPairs(value.bytes, owned, kept)) return false;
            continue;
        }
        return RegSetValueExW(key.get(), kPendingValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                              static_cast<DWORD>(kept.size())) == ERROR_SUCCESS;
    }
    return false;
}

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

// A deletion pair of the object: its source is the path as MoveFileEx
// stores it, or has the same short form.
PairFilter DeletionOf(const std::string& path) {
    const std::wstring wide = MultiByteToWide(path);
    return [stored = L"\\??\\" + wide, shortPath = ShortPathW(wide)](const std::wstring& source,
                                                                     const std::wstring& target) {
        if (!target.empty()) return false;  // renames stay
        if (lstrcmpiW(source.c_str(), stored.c_str()) == 0) return true;
        if (shortPath.empty()) return false;
        const std::wstring shortSource = ShortPathW(source);
        return !shortSource.empty() && lstrcmpiW(shortSource.c_str(), shortPath.c_str()) == 0;
    };
}

bool ScheduleDeleteOnRebootNt(const std::string& path) {
    // Bound by name: the Windows 95 family's kernel32 lacks it.
    const auto moveFileEx = KernelFunction<decltype(&::MoveFileExA)>("MoveFileExA");
    return moveFileEx != nullptr && moveFileEx(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool CancelDeleteOnRebootNt(const std::string& path) {
    return AnyPendingPairs() && RemovePairs(DeletionOf(path));
}

}  // namespace

bool ScheduleDeleteOnReboot(const std::string& path) {
    try {
        return SharedSystemInfo().IsNtFamily() ? ScheduleDeleteOnRebootNt(path) : ScheduleDeleteOnRebootIni(path);
    } catch (...) {
        return false;
    }
}

bool CancelDeleteOnReboot(const std::string& path) {
    try {
        return SharedSystemInfo().IsNtFamily() ? CancelDeleteOnRebootNt(path) : CancelDeleteOnRebootIni(path);
    } catch (...) {
        return false;
    }
}
