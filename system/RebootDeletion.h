// Deletion of files and directories at the next system start, and taking
// such a pending deletion back when the installation creates the object
// again. The Windows NT family keeps the requests in the registry
// (PendingFileRenameOperations); the others in the [Rename] section of
// WININIT.INI. The family comes from the system version, never from a call
// that happens to fail.
#pragma once

#include <string>

// True when the object is (now or already) scheduled. Never throws.
bool ScheduleDeleteOnReboot(const std::string& path);

// True when at least one pending deletion of the object was removed and the
// new list was written. Only deletion requests are touched; renames stay.
// Works only for existing objects (both sides are compared by short path).
// Never throws.
bool CancelDeleteOnReboot(const std::string& path);
