#include "support/PendingOperations.h"

#include "support/Registry.h"

namespace {

const char kKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kValue[] = "PendingFileRenameOperations";

}  // namespace

std::string ReadPendingOperations() {
    return ReadRaw(HKEY_LOCAL_MACHINE, kKey, kValue).bytes;
}

void WritePendingOperations(const std::string& bytes) {
    if (bytes.empty())
        DeleteValue(HKEY_LOCAL_MACHINE, kKey, kValue);
    else
        WriteRaw(HKEY_LOCAL_MACHINE, kKey, kValue, REG_MULTI_SZ, bytes);
}

bool PendingDeletionOf(const std::string& path) {
    std::string wanted = std::string("\\??\\") + path + '\0' + '\0';
    std::string bytes = ReadPendingOperations();
    for (std::size_t at = 0; (at = bytes.find(wanted, at)) != std::string::npos; ++at)
        if (at == 0 || bytes[at - 1] == '\0') return true;
    return false;
}

std::vector<std::string> PendingDeletions() {
    const std::string bytes = ReadPendingOperations();
    std::vector<std::string> entries;
    for (size_t start = 0; start < bytes.size();) {
        const size_t end = bytes.find('\0', start);
        if (end == std::string::npos || end == start) break;
        entries.push_back(bytes.substr(start, end - start));
        start = end + 1;
        const size_t targetEnd = bytes.find('\0', start);
        if (targetEnd == std::string::npos) break;
        if (targetEnd == start && entries.back().compare(0, 4, "\\??\\") == 0)
            entries.back() = entries.back().substr(4);
        else
            entries.pop_back();
        start = targetEnd + 1;
    }
    return entries;
}
