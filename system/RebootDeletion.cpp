#include "system/RebootDeletion.h"

#include "system/RebootDeletionFamilies.h"
#include "system/SystemInfo.h"
#include "foundation/Win.h"

namespace {

constexpr DWORD kShortPathBufferSize = 261;

}  // namespace

std::string ShortPathOf(const std::string& path) {
    char buffer[kShortPathBufferSize];
    DWORD length = GetShortPathNameA(path.c_str(), buffer, kShortPathBufferSize);
    if (length == 0 || length >= kShortPathBufferSize) return std::string();
    return std::string(buffer, length);
}

bool ScheduleDeleteOnReboot(const std::string& path) {
    try {
        return SharedSystemInfo().IsNtFamily() ? ScheduleDeleteOnRebootNt(path)
                                               : ScheduleDeleteOnRebootIni(path);
    } catch (...) {
        return false;
    }
}

bool CancelDeleteOnReboot(const std::string& path) {
    try {
        return SharedSystemInfo().IsNtFamily() ? CancelDeleteOnRebootNt(path)
                                               : CancelDeleteOnRebootIni(path);
    } catch (...) {
        return false;
    }
}
