// Reads a .lnk file back through the shell's link object, as Explorer
// would, so that tests compare what a user of the link gets.
#pragma once

#include <string>

struct ShellLinkFields {
    std::string target;
    std::string arguments;
    std::string workingDirectory;
    std::string description;
    std::string iconFile;
    int iconIndex = -1;
};

// Throws std::runtime_error when the file cannot be loaded as a link.
ShellLinkFields ReadShellLink(const std::string& path);
