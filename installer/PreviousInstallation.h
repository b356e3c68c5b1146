// Removal of an installed copy of the product by its own uninstaller, run
// unattended with a result channel before the installation steps: the
// uninstaller is first copied to a temporary folder, then run as a child
// process.
#pragma once

#include "foundation/Errors.h"

#include <cstdint>
#include <string>

// Returns when there was nothing to remove, the removal succeeded, or its
// failure was accepted (question answered Yes, or -force); otherwise throws
// SilentExit(107).
void RemovePreviousInstallation();

// What the registry tells of an installed copy of the product: its
// Uninstall key values. A value that cannot be read counts as absent.
std::string ReadPreviousUninstallString();  // empty when absent
std::string ReadPreviousVersion();          // empty when absent

// The installed copy's "InstallDir", else the Program Files folder joined
// with the product's full name.
std::string DefaultInstallDirectory();

// The fresh copy of the embedded uninstaller (resource 149) that removes an
// installation too old to carry a usable uninstaller of its own.
// Writes the copy as "uninst.exe" in the temporary directory, or under
// "uninst" + four random digits + ".exe" when that cannot be written (ten
// more names at most), and schedules it for deletion at the next reboot.
// Returns its path; throws AException with the failure message otherwise.
std::string WriteTemporaryUninstaller();

// The uninstaller of an installed copy run as a child process: its result
// channel, its job and the wait for its end.
// Every process of the uninstaller ended after exit code 1 without
// signalling its result.
class LostUninstallerResult : public AException {
public:
    LostUninstallerResult();
};

// Runs the uninstaller with " -unat -result=<section> -done=<event>"
// appended and returns its result: the exit code, or for exit code 1 the
// value it wrote into the section before signalling the event. Throws
// InstallError when the channel or the process cannot be created, and
// LostUninstallerResult.
std::uint32_t RunUninstaller(const std::string& commandLine);

// Starts the command line with the installer's inheritable handles and
// waits for its end; 259 when the exit code cannot be had. Throws
// InstallError when the process cannot be started.
std::uint32_t RunProcessAndWait(const std::string& commandLine);
