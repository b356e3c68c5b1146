// Deletion of files and directories at the next system start, and taking
// such a pending deletion back when the object is wanted after all. The
// Windows NT family keeps the requests in the registry value
// PendingFileRenameOperations; the others in the [Rename] section of
// WININIT.INI. Both lists are shared with every other program: only the
// caller's object's deletions are added or taken out, everything else stays
// byte for byte. The family comes from the system version, never from a call
// that happens to fail.
//
// Cancelling takes back every deletion request whose path is the given one
// (case ignored) or has the same short (8.3) form: the 9x family's lines hold
// short forms, the system stores the path as given, and an object that is
// gone has no short form but its requests can still be taken back.
#pragma once

#include <string>

// True when the object is (now or already) scheduled. Never throws.
bool ScheduleDeleteOnReboot(const std::string& path);

// True when at least one pending deletion of the object was removed and the
// new list was written. Only deletion requests are touched; renames stay.
// Never throws.
bool CancelDeleteOnReboot(const std::string& path);

// The Windows 9x family's mechanism behind RebootDeletion.h; the family is
// chosen there, beside the NT family's.
// "NUL=<short path>" lines of the [Rename] section of WININIT.INI.
bool ScheduleDeleteOnRebootIni(const std::string& path);
bool CancelDeleteOnRebootIni(const std::string& path);
