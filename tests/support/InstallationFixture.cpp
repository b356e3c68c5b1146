#include "support/InstallationFixture.h"

#include "foundation/Handle.h"

#include <shlobj.h>

#include <algorithm>

const char kInstallDir[] = "C:\\Program Files\\Vantrel Quillmore";

std::string InstallArguments(const std::string& extra) {
    std::string arguments = std::string("-acceptEULA \"-installDir=") + kInstallDir + "\"";
    return extra.empty() ? arguments : arguments + " " + extra;
}

std::string StartMenuFolder(bool allUsers) {
    return SpecialFolder(allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) + "\\Vantrel Quillmore";
}

std::string DesktopFolder(bool allUsers) {
    return SpecialFolder(allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY);
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
    EXPECT_EQ(0, std::count(run.programs.begin(), run.programs.end(), "quillmore.exe")) << "the product was started";
    EXPECT_EQ(1, std::count(run.programs.begin(), run.programs.end(), "quillmoreinstaller.exe"));
}
