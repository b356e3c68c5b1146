#include "InstallationFixture.h"

#include "foundation/UniqueHandle.h"

#include <shlobj.h>

#include <algorithm>
#include <sstream>

const char kInstallDir[] = "C:\\Program Files\\Vantrel Quillmore";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmore";
const char kMachineEnvironment[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kUserEnvironment[] = "Environment";

std::string InstallArguments(const std::string& extra) {
    std::string arguments = std::string("-acceptEULA \"-installDir=") + kInstallDir + "\"";
    return extra.empty() ? arguments : arguments + " " + extra;
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
    return path;
}

std::string StartMenuFolder(bool allUsers) {
    return SpecialFolder(allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) + "\\Vantrel Quillmore";
}

std::string DesktopFolder(bool allUsers) {
    return SpecialFolder(allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY);
}

std::vector<std::string> Lines(const std::string& output) {
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string LineStartingWith(const std::string& output, const std::string& prefix) {
    for (const std::string& line : Lines(output))
        if (line.compare(0, prefix.size(), prefix) == 0) return line;
    return std::string();
}

void MakeFolder(const std::string& path) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
}

void MakeFile(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file.valid()) << path;
}

void ExpectQuietRun(const WatchedOutcome& run) {
    EXPECT_FALSE(run.timedOut);
    EXPECT_TRUE(run.windows.empty()) << "a window showed: " << run.windows.front();
    EXPECT_EQ(0, std::count(run.programs.begin(), run.programs.end(), "quillmore.exe"))
        << "the product was started";
    EXPECT_EQ(1, std::count(run.programs.begin(), run.programs.end(), "quillmoreinstaller.exe"));
}
