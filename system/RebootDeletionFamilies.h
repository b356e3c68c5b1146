// The Windows 9x family's mechanism behind RebootDeletion.h; the family is
// chosen there, beside the NT family's.
#pragma once

#include <string>

// "NUL=<short path>" lines of the [Rename] section of WININIT.INI.
bool ScheduleDeleteOnRebootIni(const std::string& path);
bool CancelDeleteOnRebootIni(const std::string& path);
