// What the installer stored for the uninstaller in the product's Uninstall
// key (UninstallContract.h).
#pragma once

#include "uninstaller/CommandListSyntax.h"
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

// The syntax of CommandListSyntax.h with the registry roots the registry
// layer knows.
std::vector<UninstallCommand> ParseCommandList(const std::string& text);

// Reads and parses "UninstallParam", "InstallDir" and "Version", each as
// stored (no variable expanded); throws LoadError with the reason when one
// of the first two cannot be read or the list cannot be parsed.
UninstallInfo LoadUninstallInfo(const std::string& keyName);
