// Deletion of a file at the next system start: MoveFileExA on the Windows NT
// family, a "NUL=" line in the [Rename] section of WININIT.INI elsewhere.
#pragma once

#include <string>

bool DeleteAtReboot(const std::string& path);

// Takes back what DeleteAtReboot scheduled for `path` (only that request);
// true when one was taken back.
bool KeepAtReboot(const std::string& path);
