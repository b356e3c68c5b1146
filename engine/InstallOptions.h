// The one process-wide record of the installation's options and shared
// paths, filled by the flow and the command line, read by every step.
#pragma once

#include <string>

struct InstallOptions {
    bool interactive = false;
    bool force = false;
    bool noRollback = false;
    bool acceptEULA = false;
    std::string installDir;
    std::string mainExecutablePath;
    std::string uninstallCommands;
    std::string uninstallerPath;
};

// The process's one record.
inline InstallOptions& Options() {
    static InstallOptions options;
    return options;
}
