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
    std::string installDir;
};

class LoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "HKEY_LOCAL_MACHINE\SOFTWARE\...\Uninstall\<keyName>"
RegistryPath UninstallKeyOf(const std::string& keyName);

// Reads and parses "UninstallParam" and "InstallDir"; throws LoadError with
// the reason when either cannot be read or the list cannot be parsed.
UninstallInfo LoadUninstallInfo(const std::string& keyName);
