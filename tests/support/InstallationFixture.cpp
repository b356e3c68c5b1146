#include "support/InstallationFixture.h"

#include "foundation/Handle.h"
#include "support/SystemSnapshot.h"

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

WatchedOutcome RunInstallerQuietly(const std::string& arguments, DWORD exitCode, const Environment& environment) {
    WatchedOutcome run = RunInstallerWatched(arguments, environment);
    ExpectQuietRun(run);
    EXPECT_EQ(exitCode, run.process.exitCode) << run.process.out;
    return run;
}

WatchedOutcome RunInstallerLeavingNoTrace(const std::string& arguments, DWORD exitCode,
                                          const Environment& environment) {
    const SystemSnapshot before = SystemSnapshot::Take();
    WatchedOutcome run = RunInstallerQuietly(arguments, exitCode, environment);
    EXPECT_EQ("", Difference(before, SystemSnapshot::Take())) << run.process.out;
    return run;
}

std::vector<std::string>::const_iterator FirstRollbackLine(const std::vector<std::string>& lines) {
    return std::find_if(lines.begin(), lines.end(),
                        [](const std::string& line) { return line.compare(0, 9, "Rollback:") == 0; });
}
