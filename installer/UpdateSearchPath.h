// Puts the installation directory on the command search path, best effort:
// nothing is reported, nothing throws (memory exhaustion aside), and
// nothing is undone or recorded for the uninstaller.
#pragma once

#include <string>
#include <vector>

// Chooses by the platform id that GetVersionExA reports.
void UpdateSearchPath(const std::string& installDir, bool allUsers);

// NT family: the PATH value of the machine or the user environment in the
// registry, then a WM_SETTINGCHANGE broadcast.
void UpdateRegistrySearchPath(const std::string& installDir, bool allUsers);

// Windows 9x: a PATH line appended to the DOS start-up file, in effect
// from the next start of the system.
void UpdateAutoexecSearchPath(const std::string& installDir);

// Text rules shared by both families: every piece between separators, empty ones included.
std::vector<std::string> SplitList(const std::string& text, char separator);

// Equal when compared without regard to letter case in the ANSI code page;
// nothing else is folded (no trimming, no trailing backslash rule).
bool SameTextIgnoringCase(const std::string& a, const std::string& b);
