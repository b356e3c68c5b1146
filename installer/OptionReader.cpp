#include "installer/OptionReader.h"

#include "foundation/InstallError.h"
#include "foundation/TextConversion.h"
#include "installer/CmdLine.h"
#include "system/InstallOptions.h"

namespace {

const int helpExitCode = 200;

}  // namespace

bool IsInteractiveRun(const CmdLine& cmdLine) {
    return cmdLine.positionalCount() <= 1 && cmdLine.firstOption() == nullptr;
}

void ReadUnattendedOptions(CmdLine& cmdLine, bool& allUsers, bool& desktopIcon) {
    if (cmdLine.isHelpRequested()) throw SilentExit(helpExitCode);

    InstallOptions& options = Options();
    options.force = cmdLine.hasFlag(L"force", true);
    options.noRollback = cmdLine.hasFlag(L"noRollback", true);
    options.acceptEULA = cmdLine.hasFlag(L"acceptEULA", true);

    std::wstring directory;
    if (!cmdLine.getValue(L"installDir", directory, true) || directory.empty())
        throw CmdLine::Err(std::string("Missing '-installDir'") + " parameter.");
    options.installDir = WideToMultiByte(directory);

    if (cmdLine.hasFlag(L"installForMeOnly", true)) allUsers = false;
    desktopIcon = !cmdLine.hasFlag(L"noDesktopIcon", true);

    cmdLine.checkAllUsed(false);
}
