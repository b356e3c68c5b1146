#include "PendingOperations.h"

#include "foundation/RegKey.h"
#include "foundation/Win.h"

#include <vector>

namespace {

const char kKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kValue[] = "PendingFileRenameOperations";

}  // namespace

std::string ReadPendingOperations() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
    UniqueRegKey owner(key);
    DWORD size = 0;
    if (RegQueryValueExA(key, kValue, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return {};
    std::string bytes(size, '\0');
    RegQueryValueExA(key, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&bytes[0]), &size);
    bytes.resize(size);
    return bytes;
}

void WritePendingOperations(const std::string& bytes) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    UniqueRegKey owner(key);
    if (bytes.empty()) {
        RegDeleteValueA(key, kValue);
        return;
    }
    RegSetValueExA(key, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(bytes.data()),
                   static_cast<DWORD>(bytes.size()));
}

bool PendingDeletionOf(const std::string& path) {
    std::string wanted = std::string("\\??\\") + path + '\0' + '\0';
    std::string bytes = ReadPendingOperations();
    for (std::size_t at = 0; (at = bytes.find(wanted, at)) != std::string::npos; ++at)
        if (at == 0 || bytes[at - 1] == '\0') return true;
    return false;
}
