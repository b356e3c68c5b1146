#include "support/InstallerTestSupport.h"

namespace installer_test {

const char expectedWelcomeText[] =
    "This program will install Vantrel Quillmore 4.33\n"
    "on the machine it is being run on.\n"
    "\n"
    "Quillmore is an SSH2 client for Windows 98/Me/NT/2000/XP/2003/\n"
    "Vista/2008/7. Please visit https://www.vantrel.example/quillmore/ for more information.\n"
    "\n"
    "If this program is run without command line options, installation\n"
    "will be performed in interactive mode. If run with command line\n"
    "options, installation will be performed in unattended mode.\n"
    "\n"
    "Usage (unattended mode only):\n"
    " QuillmoreInstaller -installDir=directory\n"
    "                    [-acceptEULA] [-force] [-noRollback]\n"
    "                    [-installForMeOnly] [-noDesktopIcon]\n";

ProcessOutcome RunInstaller(const std::string& arguments, const ProcessOptions& options) {
    return RunProcess(SiblingExecutable("QuillmoreInstaller.exe"), arguments, options);
}

void SetWindowsVersionFor(const std::string& exeName, const std::string& version) {
    const std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
    if (version.empty())
        DeleteValue(HKEY_CURRENT_USER, key, "Version");
    else
        WriteString(HKEY_CURRENT_USER, key, "Version", version);
}

}  // namespace installer_test
