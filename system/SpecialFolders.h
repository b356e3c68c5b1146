// Folders of the shell. Each lookup tries the shell function (Internet
// Explorer 4.0 or later only), then the registry, then a last resort, and
// never throws.
#pragma once

#include <string>

std::string ProgramFilesFolder();    // last resort "C:\Program Files"
std::string DesktopFolder();         // last resort empty
std::string CommonDesktopFolder();   // last resort DesktopFolder()
std::string ProgramsFolder();        // last resort empty
std::string CommonProgramsFolder();  // last resort ProgramsFolder()
