
#include "engine/InstallOptions.h"
#include "engine/InstallStep.h"
#include "engine/InstallerMessages.h"
#include "foundation/Console.h"
#include "foundation/Errors.h"
#include "foundation/Path.h"
#include "foundation/RegKey.h"
#include "foundation/Win.h"

#include <exception>

UninstallerRegistrationStep::UninstallerRegistrationStep(const std::string& keyName, const std::string& displayName,
                                                         const std::string& version)
    : m_keyPath(JoinPath(kUninstallKeyParent, keyName)) {
    // An earlier registration goes first, so that only this one's values are
    // left; a missing key is no failure, and a key that stays is written over.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, m_keyPath.c_str());
    ConsoleLine(kRegisteringUninstallerLine);
    try {
        Register(keyName, displayName, version);
    } catch (const std::exception& e) {
        // The values written so far and the command already appended stay.
        DecideOnRecoverableFailure(UninstallerRegistrationFailure(e.what()));
    }
}

UninstallerRegistrationStep::~UninstallerRegistrationStep() {
    if (!ShouldUndo() || !m_registered) return;
    try {
        Undo();
    } catch (...) {
        // Nothing may leave a destructor: the other steps must still be undone.
    }
}

void UninstallerRegistrationStep::Register(const std::string& keyName, const std::string& displayName,
                                           const std::string& version) {
    const InstallOptions& options = Options();
    WriteValue("DisplayName", displayName);
    WriteValue("DisplayIcon", options.uninstallerPath);
    std::string uninstallString = "\"" + options.uninstallerPath + "\" " + keyName + " ";
    // The uninstaller removes its own key last.
    AppendUninstallCommand(CommandKeyword::DelRegKey, kUninstallRootName + ("\\" + m_keyPath));
    WriteValue("UninstallString", uninstallString);
    WriteValue(kCommandListValue, options.uninstallCommands);
    WriteValue(kInstallDirValue, options.installDir);
    WriteValue(kVersionValue, version);
    m_registered = true;
}

void UninstallerRegistrationStep::WriteValue(const std::string& name, const std::string& data) {
    try {
        RegKey(HKEY_LOCAL_MACHINE, m_keyPath).WriteString(name, data, false);
    } catch (const Norlib::RegException& e) {
        throw InstallError(e.what());
    }
}

// Never schedules anything for reboot; a failure is reported and the
// rollback goes on.
void UninstallerRegistrationStep::Undo() {
    ConsoleLine(kUnregisteringUninstallerLine);
    LONG code = RegDeleteKeyA(HKEY_LOCAL_MACHINE, m_keyPath.c_str());
    if (code == ERROR_SUCCESS) return;
    std::string description = DescribeWindowsError(static_cast<unsigned long>(code));
    ConsoleLine(UnregistrationFailedLine(description));
    if (Options().interactive) {
        const std::string text = UnregistrationFailedText(description);
        MessageBoxA(nullptr, text.c_str(), kUnregistrationFailedCaption, MB_OK | MB_ICONERROR);
    }
}
