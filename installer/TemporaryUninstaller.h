// The fresh copy of the embedded uninstaller (resource 149) that removes an
// installation too old to carry a usable uninstaller of its own.
#pragma once

#include <string>

// Writes the copy as "uninst.exe" in the temporary directory, or under
// "uninst" + four random digits + ".exe" when that cannot be written (ten
// more names at most), and schedules it for deletion at the next reboot.
// Returns its path; throws AException with the failure message otherwise.
std::string WriteTemporaryUninstaller();
