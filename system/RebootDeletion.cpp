#include "system/RebootDeletion.h"

#include "system/RebootDeletionFamilies.h"
#include "system/SystemInfo.h"
#include "foundation/Win.h"

#include <mbstring.h>

namespace {

constexpr DWORD kShortPathBufferSize = 261;

}  // namespace

std::string ShortPathOf(const std::string& path) {
    char buffer[kShortPathBufferSize];
    DWORD length = GetShortPathNameA(path.c_str(), buffer, kShortPathBufferSize);
    if (length == 0 || length >= kShortPathBufferSize) return std::string();
    return std::string(buffer, length);
}

bool SamePathText(const std::string& a, const std::string& b) {
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a.c_str()),
                    reinterpret_cast<const unsigned char*>(b.c_str())) == 0;
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
