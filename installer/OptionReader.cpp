#include "installer/OptionReader.h"

#include "engine/InstallOptions.h"
#include "engine/InstallerMessages.h"
#include "foundation/Errors.h"
#include "foundation/Path.h"
#include "foundation/Text.h"
#include "installer/CmdLine.h"

namespace {

// Every later step and the uninstaller see the full path; a name the ANSI
// code page cannot hold would land somewhere else and is refused.
std::string InstallDirectoryFromArgument(const std::wstring& directory) {
    const std::wstring full = FullPath(directory);
    std::string text;
    if (full.empty() || !WideToMultiByteExactly(full, text))
        throw CmdLine::Err("The installation directory '" + WideToMultiByte(directory) +
                           "' cannot be used: its name has characters this system's code page cannot hold.");
    return text;
}

}  // namespace

bool IsInteractiveRun(const CmdLine& cmdLine) {
    return cmdLine.positionalCount() <= 1 && cmdLine.firstOption() == nullptr;
}

void ReadUnattendedOptions(CmdLine& cmdLine, bool& allUsers, bool& desktopIcon) {
    if (cmdLine.isHelpRequested()) throw SilentExit(InstallerExit::HelpRequested);

    InstallOptions& options = Options();
    options.force = cmdLine.hasFlag(L"force", true);
    options.noRollback = cmdLine.hasFlag(L"noRollback", true);
    options.acceptEULA = cmdLine.hasFlag(L"acceptEULA", true);

    std::wstring directory;
    if (!cmdLine.getValue(L"installDir", directory, true) || directory.empty())
        throw CmdLine::Err(std::string("Missing '-installDir'") + " parameter.");
    options.installDir = InstallDirectoryFromArgument(directory);

    if (cmdLine.hasFlag(L"installForMeOnly", true)) allUsers = false;
    desktopIcon = !cmdLine.hasFlag(L"noDesktopIcon", true);

    cmdLine.checkAllUsed(false);
}

// Here rather than in CmdLine.cpp: the parser itself stays free of Windows
// calls, so that it can be fuzzed natively.
void CmdLine::checkAllUsed(bool includeProgramName) const {
    const std::wstring report = unusedItemsReport(includeProgramName);
    if (!report.empty()) throw Err(WideToMultiByte(report));
}
