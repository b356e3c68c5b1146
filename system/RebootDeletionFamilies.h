// The two mechanisms behind RebootDeletion.h; the family is chosen there.
#pragma once

#include <string>

// MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT, bound at run time.
bool ScheduleDeleteOnRebootNt(const std::string& path);
// Removes the deletion pairs of the object from PendingFileRenameOperations.
bool CancelDeleteOnRebootNt(const std::string& path);

// "NUL=<short path>" lines of the [Rename] section of WININIT.INI.
bool ScheduleDeleteOnRebootIni(const std::string& path);
bool CancelDeleteOnRebootIni(const std::string& path);

// The 8.3 form of an existing object's path; empty when the system cannot
// give it or it does not fit the 261-byte buffer of the stored forms.
std::string ShortPathOf(const std::string& path);
