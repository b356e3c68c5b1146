#include "system/RebootDeletion.h"

#include "foundation/PendingRenames.h"
#include "foundation/Win.h"
#include "system/RebootDeletionFamilies.h"
#include "system/SystemInfo.h"

bool ScheduleDeleteOnReboot(const std::string& path) {
    try {
        return SharedSystemInfo().IsNtFamily() ? AddPendingDeletion(path) : ScheduleDeleteOnRebootIni(path);
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
