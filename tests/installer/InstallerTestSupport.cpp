#include "InstallerTestSupport.h"

#include <stdexcept>
#include <vector>

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
        WriteValue(HKEY_CURRENT_USER, key, "Version", version);
}

void WriteValue(HKEY root, const std::string& subkey, const std::string& name, const std::string& text,
                DWORD type) {
    const LSTATUS status = RegSetKeyValueA(root, subkey.c_str(), name.c_str(), type, text.c_str(),
                                           static_cast<DWORD>(text.size() + 1));
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("writing " + subkey + "\\" + name + " failed: " + std::to_string(status));
}

void DeleteValue(HKEY root, const std::string& subkey, const std::string& name) {
    RegDeleteKeyValueA(root, subkey.c_str(), name.c_str());
}

RegValue ReadValue(HKEY root, const std::string& subkey, const std::string& name) {
    RegValue value;
    DWORD size = 0;
    if (RegGetValueA(root, subkey.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &value.type, nullptr,
                     &size) != ERROR_SUCCESS)
        return value;
    std::vector<char> data(size + 1);
    if (RegGetValueA(root, subkey.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &value.type, data.data(),
                     &size) != ERROR_SUCCESS)
        return value;
    value.exists = true;
    value.text.assign(data.data(), size);
    if (!value.text.empty() && value.text.back() == '\0') value.text.pop_back();
    return value;
}

}  // namespace installer_test
