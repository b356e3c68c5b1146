#include "foundation/PendingRenames.h"

#include "foundation/BoundFunction.h"
#include "foundation/RegKey.h"
#include "foundation/Win.h"

namespace {

const wchar_t kSessionManagerKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingValue[] = L"PendingFileRenameOperations";
const int kWriteAttempts = 5;

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

// The bytes without the owned pairs; false when none is owned. Whatever
// follows the last whole pair (the list's end, an unpaired string, an odd
// byte) stays where it was.
bool WithoutOwnedPairs(const std::string& bytes, const PendingPairFilter& owned, std::string& kept) {
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

}  // namespace

bool AddPendingDeletion(const std::string& path) {
    // Bound by name: the Windows 95 family's kernel32 lacks it.
    const auto moveFileEx = KernelFunction<decltype(&::MoveFileExA)>("MoveFileExA");
    return moveFileEx != nullptr && moveFileEx(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool AnyPendingRenames() {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    UniqueRegKey key(opened);
    DWORD size = 0;
    return RegQueryValueExW(key.get(), kPendingValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS && size > 0;
}

bool RemovePendingRenamePairs(const PendingPairFilter& owned) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &opened) !=
        ERROR_SUCCESS)
        return false;
    const UniqueRegKey key(opened);
    PendingValue value;
    std::string kept;
    if (!Read(key.get(), value) || !value.exists || value.type != REG_MULTI_SZ ||
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

namespace {

const char kIniFile[] = "WININIT.INI";
const char kRenameSection[] = "Rename";
// The 9x profile functions handle sections of up to 32 KB.
const DWORD kSectionBufferSize = 0x8000;

}  // namespace

bool ReadRenameSection(std::vector<std::string>& lines) {
    std::string buffer(kSectionBufferSize, '\0');
    const DWORD length = GetPrivateProfileSectionA(kRenameSection, &buffer[0], kSectionBufferSize, kIniFile);
    // The buffer size less two: the section did not fit and came cut.
    if (length + 2 >= kSectionBufferSize) {
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
