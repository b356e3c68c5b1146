// Takes the installation directory off the PATH values of the machine and
// the user environment, leaving every other byte of them as it was.
#pragma once

#include "uninstaller/Report.h"

#include <string>

void RemoveFromSearchPaths(const std::string& installDir, Report& report);

// `text` without the ';'-separated entries equal to `directory` (compared
// without regard to case, otherwise exactly), each with the separator that
// joined it to the rest. Returns false when nothing matched.
bool RemovePathEntry(std::string& text, const std::string& directory);
