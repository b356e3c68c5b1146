// The uninstaller of an installed copy run as a child process: its result
// channel, its job and the wait for its end.
#pragma once

#include "foundation/Errors.h"

#include <cstdint>
#include <string>

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
