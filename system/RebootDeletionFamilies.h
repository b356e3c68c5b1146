// The two mechanisms behind RebootDeletion.h; the family is chosen there.
#pragma once

#include <string>

// Scheduling on the NT family is foundation's AddPendingDeletion.
// Removes the deletion pairs of the object from PendingFileRenameOperations.
bool CancelDeleteOnRebootNt(const std::string& path);

// "NUL=<short path>" lines of the [Rename] section of WININIT.INI.
bool ScheduleDeleteOnRebootIni(const std::string& path);
bool CancelDeleteOnRebootIni(const std::string& path);
