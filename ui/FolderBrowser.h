// The shell's folder browser for the installation folder.
#pragma once

#include "foundation/Win.h"

#include <string>

// Starts at the folder typed into the edit control (which also becomes
// installDir); a chosen folder replaces both. Cancelling, or a folder
// without a file system path, leaves the text as it was.
void BrowseForInstallFolder(HWND dialog, int editId, std::string& installDir);
