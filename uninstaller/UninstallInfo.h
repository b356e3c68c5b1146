// What the installer stored for the uninstaller under
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\<key>.
#pragma once

#include "uninstaller/CommandList.h"
#include "uninstaller/RegistryPath.h"

#include <stdexcept>
#include <string>
#include <vector>

struct UninstallInfo {
    RegistryPath key;  // the product's Uninstall key itself
    std::vector<UninstallCommand> commands;
    std::string installDir;  // as stored: Containment decides whether it can be one
    std::string version;     // empty when missing
};

class LoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "HKEY_LOCAL_MACHINE\SOFTWARE\...\Uninstall\<keyName>"
RegistryPath UninstallKeyOf(const std::string& keyName);

// Reads and parses "UninstallParam", "InstallDir" and "Version", each as
// stored (no variable expanded); throws LoadError with the reason when one
// of the first two cannot be read or the list cannot be parsed.
UninstallInfo LoadUninstallInfo(const std::string& keyName);
