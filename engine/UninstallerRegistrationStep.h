// Registers the product's uninstaller with Windows: the product's key under
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall
// with six values, "UninstallParam" holding the complete uninstallation
// command list. Made last, so that the list is complete; the undo deletes
// the key.
#pragma once

#include "engine/InstallStep.h"

#include <string>

class UninstallerRegistrationStep final : public InstallStep {
public:
    // Throws only SilentExit 113, when a failed registration is not to be
    // tolerated; every other failure is handled here.
    UninstallerRegistrationStep(const std::string& keyName, const std::string& displayName, const std::string& version);
    ~UninstallerRegistrationStep();

private:
    void Register(const std::string& keyName, const std::string& displayName, const std::string& version);
    void WriteValue(const std::string& name, const std::string& data);
    void Undo();

    std::string m_keyPath;  // under HKEY_LOCAL_MACHINE
    bool m_registered = false;
};
